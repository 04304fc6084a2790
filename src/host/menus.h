// The item's three popup menus (main, views, item), built on demand from menu_entries.h with the
// owner-drawn menu class and tracked at the pen. The chosen entry arrives as WM_COMMAND.
#pragma once

#include <windows.h>

#include "host/item_window.h"

namespace qf::host {

// User-interface thread. Each builds its menu (replacing an earlier one of its kind) and tracks it: in
// Today mode at the position of the last message; in tab mode the main menu at the bottom-left corner of
// the control strip and the views menu 40 scaled pixels right of it. Returns when the menu closes.
void OpenMainMenu(ItemWindow& item);
void OpenViewsMenu(ItemWindow& item);
void OpenItemMenu(ItemWindow& item);

// User-interface thread. Deletes the three menus (every command does so first, and WM_DESTROY).
void DeleteMenus(ItemWindow& item);

// User-interface thread. WM_MEASUREITEM and WM_DRAWITEM of the item window or the control strip go to
// the existing menus in the order main, views, item until one takes the record. False when none does.
bool MeasureMenuItem(ItemWindow& item, MEASUREITEMSTRUCT& measure);
bool DrawMenuItem(ItemWindow& item, const DRAWITEMSTRUCT& draw);

}  // namespace qf::host
