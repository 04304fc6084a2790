// The start-up sequence of the item window: it runs on the first refresh-cache query, on the first tick
// of timer 13 and whenever the main application reports a change (Today/TodayHasChanged). It loads the
// display settings, checks the device's resources, opens the shared database, picks the current view
// and builds its listing.
#pragma once

#include "db/listing_model.h"
#include "host/item_window.h"

namespace qf::host {

inline constexpr char16_t kUpgradeNeededStatus[] =
    u"Database needs to be upgraded.  Please use the main Quillfeed application to update the database.";
inline constexpr char16_t kNoActiveView[] = u"None Active";

// User-interface thread. Runs the whole sequence on `item` with the library's listing model. A failed
// resource check leaves the database untouched and the warning shown; a database that needs an upgrade
// is unusable until the main application upgraded it, with the upgrade message as status text and as
// the database's message; an unopened database yields no views.
void RunStartupSequence(ItemWindow& item);

}  // namespace qf::host
