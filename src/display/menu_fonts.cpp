#include "display/menu_fonts.h"

#include <algorithm>

#include "display/font_size.h"
#include "display/gdi_handles.h"

namespace qf::display {
namespace {

// The menus' own font: the plain pair always uses Tahoma 8 pt; the other pairs derive from these.
constexpr char16_t kMenuFace[] = u"Tahoma";
constexpr int kMenuPoints = 8;
constexpr LONG kMenuWeight = FW_NORMAL;

struct PairSpec {
    MenuFontPair pair;
    const char16_t* face;
    int points;
    LONG weight;
};

constexpr PairSpec kPairs[] = {
    {MenuFontPair::kPlain, u"Tahoma", 8, FW_NORMAL},
    {MenuFontPair::kNormal, kMenuFace, kMenuPoints, kMenuWeight},
    {MenuFontPair::kBold, kMenuFace, kMenuPoints, FW_BOLD},
    {MenuFontPair::kSmall, kMenuFace, kMenuPoints - 1, kMenuWeight},
};

size_t SlotOf(MenuFontPair pair, MenuFontSize size) {
    return static_cast<size_t>(pair) * 2 + static_cast<size_t>(size);
}

GdiObject<HFONT> CreateMenuFont(const MenuFontRecipe& recipe) {
    LOGFONTW font{};
    font.lfHeight = recipe.height;
    font.lfWeight = recipe.weight;
    size_t length = std::min(recipe.face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    std::copy_n(recipe.face.begin(), length, font.lfFaceName);
    return GdiObject<HFONT>(CreateFontIndirectW(&font));
}

// The DC of `window`, or the screen's for a null window.
int LogicalPixelsYOf(HWND window) {
    if (window == nullptr) {
        ScreenDc screen;
        return GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    WindowDc dc(window);
    return GetDeviceCaps(dc.get(), LOGPIXELSY);
}

}  // namespace

std::array<MenuFontRecipe, 8> MenuFontRecipes(int logpixels_y) {
    std::array<MenuFontRecipe, 8> recipes;
    size_t slot = 0;
    for (const PairSpec& pair : kPairs) {
        LONG height = FontHeightForPoints(logpixels_y, pair.points);
        recipes[slot++] = {pair.pair, MenuFontSize::kSingle, pair.face, height, pair.weight};
        recipes[slot++] = {pair.pair, MenuFontSize::kDouble, pair.face, height * 2, pair.weight};
    }
    return recipes;
}

void MenuFonts::Build(HWND window) {
    int logpixels_y = LogicalPixelsYOf(window);
    if (logpixels_y == 0) return;
    for (const MenuFontRecipe& recipe : MenuFontRecipes(logpixels_y)) {
        GdiObject<HFONT>& slot = fonts_[SlotOf(recipe.pair, recipe.size)];
        slot.Reset();
        slot = CreateMenuFont(recipe);
    }
}

void MenuFonts::Free() {
    for (GdiObject<HFONT>& font : fonts_) font.Reset();
}

HFONT MenuFonts::Get(MenuFontPair pair, MenuFontSize size) const { return fonts_[SlotOf(pair, size)].get(); }

}  // namespace qf::display
