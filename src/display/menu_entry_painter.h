// Measuring and drawing one entry of the item's owner-drawn popup menus in the Today look.
#pragma once

#include <windows.h>

#include <string>

#include "display/owner_drawn_menu.h"

namespace qf::display {

enum class MenuEntryKind { kCommand = 0, kSubmenu = 1 };

// What an entry shows.
struct MenuEntryLook {
    std::u16string text;
    MenuEntryKind kind = MenuEntryKind::kCommand;
    HBITMAP icon = nullptr;  // not owned; may be null
};

// How an entry is drawn this time: ODS_* flags of the device's WM_DRAWITEM.
struct MenuEntryState {
    bool highlighted = false;
    bool grayed = false;
    bool checked = false;
};

// User-interface thread. The entry's size in pixels for `look`.
SIZE MeasureMenuEntry(const MenuEntryLook& entry, const MenuLook& look);
// User-interface thread. Draws the whole entry into `rect` of `dc`; the DC's font, colours and mode are
// left as they were.
void PaintMenuEntry(HDC dc, const RECT& rect, const MenuEntryLook& entry, MenuEntryState state,
                    const MenuLook& look);
// Any thread. The selection bar's colour and its 3-D edge (light above and left, dark below and right),
// blended from the theme's highlight and background.
struct MenuBarColors {
    COLORREF fill;
    COLORREF light_edge;
    COLORREF dark_edge;
};
MenuBarColors MenuBarColorsOf(const MenuColors& colors);

}  // namespace qf::display
