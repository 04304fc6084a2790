// The private messages of the item window.
#pragma once

#include <windows.h>

namespace qf::host {

// Asks the item to stop its heartbeat (unless a schedule needs it) until it is activated again.
inline constexpr UINT kSuspendHeartbeatMessage = 0x03FF;
// Sent by database code, possibly of another process, before it rewrites the database file: the item
// closes its connection and answers kDatabaseReleased.
inline constexpr UINT kReleaseDatabaseMessage = 0x041E;
inline constexpr LRESULT kDatabaseReleased = 2;

}  // namespace qf::host
