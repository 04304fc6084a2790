// What the database code does to the world outside the file: the wait cursor, and the release-database
// message that makes an item window (possibly in another process) close its connection before the file
// is restructured or replaced.
#pragma once

#include <windows.h>

namespace qf {

// The release-database message: the item window closes its database connection and answers 2.
inline constexpr UINT kReleaseDatabaseMessage = 0x041E;

// Shows the wait cursor for its lifetime. One thread.
class WaitCursor {
  public:
    WaitCursor() { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
    ~WaitCursor() { SetCursor(nullptr); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Any thread. Sends kReleaseDatabaseMessage to the window whose handle stands in Today/HWND and waits
// until it has been handled (at most 5 s of host time), then gives the window 300 ms to let go of the
// file. Does nothing when no window is registered.
void SendReleaseDatabase();

}  // namespace qf
