// Message delivery shared by the Win32 entry points and the cross-process link.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

#include "window/window_state.h"

namespace qf::device::wm {

// Lock held on entry and exit. Handles every message sent to `queue`'s thread (the calling thread), one
// at a time, releasing the lock around each window procedure.
void ReceiveSentMessages(std::unique_lock<std::mutex>& lock, ThreadQueue& queue);

// How long a send waits for its answer (host time), and whether the waiting thread handles the messages
// sent to it meanwhile.
struct SendWait {
    std::optional<std::chrono::steady_clock::time_point> deadline;  // none: until answered
    bool receive_meanwhile = true;
};

// Lock held. Waits as `wait` says until `request` is done, handling messages sent to the calling thread
// (`queue`) meanwhile unless told not to; false when the deadline passed first.
bool AwaitReply(std::unique_lock<std::mutex>& lock, ThreadQueue& queue, const SendRequest& request,
                const SendWait& wait);

// Any thread, lock released. Posts to a window of this process; false when the handle is not one.
bool PostToLocalWindow(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Lock released. Hands a send that came from another process to the window's thread; false when the
// window does not live in this process.
bool QueueRemoteSend(const std::shared_ptr<SendRequest>& request);

// Lock released. Whether the handle is a live window of this process.
bool IsLocalWindow(HWND window);

}  // namespace qf::device::wm
