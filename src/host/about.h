// The About text, shown in the item in bold for four heartbeat ticks.
#pragma once

#include <windows.h>

#include <string>

#include "host/item_window.h"

namespace qf::host {

// Any thread. The version line, the maker's line and "Last Refresh: " with AutoReload/LastRefreshDate
// ("n/a" when the feeds were never refreshed), separated by blank lines.
std::u16string AboutText();

// User-interface thread. Shows the About text until the countdown of four ticks ends. Answers the
// repaint's result.
BOOL ShowAbout(ItemWindow& item);

}  // namespace qf::host
