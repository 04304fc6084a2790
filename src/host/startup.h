// The start-up sequence of the item window: it runs on the first refresh-cache query, on the first tick
// of timer 13 and whenever the main application reports a change (Today/TodayHasChanged).
#pragma once

#include "host/item_window.h"

namespace qf::host {

// User-interface thread. Resets what every start-up resets: no pending height change or repaint request,
// the heartbeat's time base, no current view ("None Active"), no status text, the first item. Loading the
// display settings, the resource checks and the database come with the view listing.
void RunStartupSequence(ItemWindow& item);

}  // namespace qf::host
