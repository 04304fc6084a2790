// The private messages of the item window.
#pragma once

#include <windows.h>

namespace qf::host {

// Asks the item to stop its heartbeat (unless a schedule needs it) until it is activated again.
inline constexpr UINT kSuspendHeartbeatMessage = 0x03FF;
// The item's answer to kReleaseDatabaseMessage (db/shell_effects.h), sent by database code, possibly of
// another process, before it rewrites the database file: the item has closed its connection.
inline constexpr LRESULT kDatabaseReleased = 2;

}  // namespace qf::host
