// The item window's command handler: every menu entry, the notification's buttons and the tab host's
// About and Settings calls arrive here as WM_COMMAND identifiers (command_ids.h).
#pragma once

#include <windows.h>

#include "host/item_window.h"

namespace qf::host {

// User-interface thread. Deletes the popup menus, then runs the command `id`; unknown ids do nothing.
void OnCommand(ItemWindow& item, UINT id);

// User-interface thread. Shows view `index` of the view list: writes Today/CurrentViewID and
// Today/FeedList = 0, builds the view's listing (and the list rows in list mode) and starts at its first
// item. An index outside the view list only turns the feed list off.
void SelectView(ItemWindow& item, int index);

}  // namespace qf::host
