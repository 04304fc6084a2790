// Calls between the processes of one device. Every process that holds a handle slot listens on a Unix
// socket of its slot; one I/O thread per process accepts requests there and waits for the replies of its
// own outgoing sends. A send from another process is handed to the window's thread like a send from
// another thread, and that thread writes the reply when it has handled the message, so the I/O thread
// itself never waits on a window.
#pragma once

#include <filesystem>

#include "win/window.h"

namespace qf::device::wm {

enum class RemoteOp : std::uint32_t { kSend = 1, kPost = 2, kIsWindow = 3 };

// Any thread. Answers requests arriving at `path` from now on (an earlier listener is closed).
// Paths longer than a Unix socket address allows leave the process unreachable.
void ListenForRemoteCalls(const std::filesystem::path& path);

// Any thread. Performs `op` on a window of another process through the socket of the handle's slot.
// kSend answers the window procedure's result and, while it waits, handles the messages sent to the
// calling thread; kPost and kIsWindow answer TRUE or FALSE. Answers 0 at once when no process listens
// there any more or the window is gone.
LRESULT CallRemoteWindow(RemoteOp op, HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace qf::device::wm
