// Calls between the processes of one device. Every process that holds a handle slot listens on a Unix
// socket of its slot; one I/O thread per process accepts requests there and waits for the replies of its
// own outgoing sends. A send from another process is handed to the window's thread like a send from
// another thread, and that thread writes the reply when it has handled the message, so the I/O thread
// itself never waits on a window.
#pragma once

#include <chrono>
#include <filesystem>

#include "win/window.h"
#include "window/messaging.h"

namespace qf::device::wm {

enum class RemoteOp : std::uint32_t { kSend = 1, kPost = 2, kIsWindow = 3 };

// Any thread. Answers requests arriving at `path` from now on (an earlier listener is closed).
// Paths longer than a Unix socket address allows leave the process unreachable.
void ListenForRemoteCalls(const std::filesystem::path& path);

// How long a call to another process waits for its answer when the caller sets no time of its own: a
// stopped or hung process must not stop its callers for ever.
inline constexpr std::chrono::milliseconds kRemoteAnswerTimeout{10000};

// Any thread. Performs kPost or kIsWindow on a window of another process through the socket of the
// handle's slot; answers TRUE or FALSE. FALSE at once when no process listens there any more or the
// window is gone, and after kRemoteAnswerTimeout without an answer.
LRESULT CallRemoteWindow(RemoteOp op, HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Any thread. Sends to a window of another process and waits as `wait` says (without a deadline, for
// kRemoteAnswerTimeout), handling meanwhile the messages sent to the calling thread. True with the
// window procedure's result; false (last error ERROR_TIMEOUT) when the wait ran out, or with result 0 and
// true when nobody listens there any more or the window is gone.
bool CallRemoteSend(HWND window, UINT message, WPARAM wparam, LPARAM lparam, const SendWait& wait,
                    LRESULT& result);

}  // namespace qf::device::wm
