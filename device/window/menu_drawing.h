// How the device draws popup menus: the frame of every popup, and the entries that are not owner-drawn
// (text in the menu font, check mark, submenu arrow, separator line, highlight bar in system colours).
#pragma once

#include "win/gdi.h"
#include "window/menu_table.h"

namespace qf::device::wm {

// Any thread. A length given at 96 dpi, at the device's dpi.
int MenuPixels(int at_96_dpi);
// Any thread. The size a standard entry needs (separators included).
SIZE MeasureStandardEntry(const MenuEntry& entry);
// Any thread. Draws a standard entry into `rect` of `dc`.
void DrawStandardEntry(HDC dc, const MenuEntry& entry, const RECT& rect, bool highlighted);
// Any thread. Draws the raised frame, `frame` pixels wide, around a popup of `size`; the entries cover
// everything inside it.
void DrawMenuFrame(HDC dc, SIZE size, int frame);

}  // namespace qf::device::wm
