// The eight fonts of the owner-drawn popup menus: four pairs, each a font and the same font at twice
// the height. They are built for the item window when it is created and freed when it is destroyed.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "display/gdi_handles.h"

namespace qf::display {

enum class MenuFontPair { kPlain = 0, kNormal = 1, kBold = 2, kSmall = 3 };
enum class MenuFontSize { kSingle = 0, kDouble = 1 };

// One font of the set as it is asked of GDI.
struct MenuFontRecipe {
    MenuFontPair pair;
    MenuFontSize size;
    std::u16string face;
    LONG height;  // LOGFONT lfHeight
    LONG weight;
};

// Any thread. The eight fonts, pair by pair (single then double), for a DC with `logpixels_y`.
std::array<MenuFontRecipe, 8> MenuFontRecipes(int logpixels_y);

// The eight fonts, owned; empty until Build. User-interface thread.
class MenuFonts {
  public:
    // (Re)creates the eight fonts for the DC of `window` (the screen when null), deleting any that
    // still exist.
    void Build(HWND window);
    // Deletes all eight fonts and forgets them.
    void Free();
    // The font, or null when the set is not built. The set keeps ownership.
    HFONT Get(MenuFontPair pair, MenuFontSize size) const;

  private:
    std::array<GdiObject<HFONT>, 8> fonts_;
};

}  // namespace qf::display
