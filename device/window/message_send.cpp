// SendMessageW: direct calls on the owner thread, queued sends across threads and processes.
#include <vector>

#include "window/handle_space.h"
#include "window/messaging.h"
#include "window/process_link.h"

namespace qf::device::wm {

void ReceiveSentMessages(std::unique_lock<std::mutex>& lock, ThreadQueue& queue) {
    State& state = State::Get();
    while (!queue.incoming.empty()) {
        std::shared_ptr<SendRequest> request = queue.incoming.front();
        queue.incoming.pop_front();
        // The window may have gone (or moved its procedure) since the message was queued.
        Window* window = state.Find(request->target);
        WNDPROC procedure = window != nullptr && window->owner.get() == &queue ? window->procedure : nullptr;
        lock.unlock();
        LRESULT result = procedure != nullptr
                             ? procedure(request->target, request->message, request->wparam, request->lparam)
                             : 0;
        lock.lock();
        if (UniqueFd reply = State::Finish(*request, result)) {
            lock.unlock();
            SendReply(std::move(reply), result);
            lock.lock();
        }
    }
}

bool AwaitReply(std::unique_lock<std::mutex>& lock, ThreadQueue& queue, const SendRequest& request,
                const SendWait& wait) {
    auto ready = [&] { return request.done || (wait.receive_meanwhile && !queue.incoming.empty()); };
    while (!request.done) {
        if (wait.receive_meanwhile) ReceiveSentMessages(lock, queue);
        if (!wait.deadline) {
            queue.wake.wait(lock, ready);
        } else if (!queue.wake.wait_until(lock, *wait.deadline, ready)) {
            return false;
        }
    }
    return true;
}

bool QueueRemoteSend(const std::shared_ptr<SendRequest>& request) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* window = state.Find(request->target);
    if (window == nullptr) return false;
    window->owner->incoming.push_back(request);
    State::Wake(*window->owner);
    return true;
}

bool IsLocalWindow(HWND window) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    return state.Find(window) != nullptr;
}

namespace {

std::vector<HWND> TopLevelWindows() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    return state.top_levels;
}

// SendMessageW and SendMessageTimeoutW: false when the window is unknown or the wait ran out (last error
// set), else true with the result.
bool Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, const SendWait& wait, LRESULT& result) {
    result = 0;
    if (window == HWND_BROADCAST) {
        for (HWND top_level : TopLevelWindows()) {
            LRESULT ignored;
            Send(top_level, message, wparam, lparam, wait, ignored);
        }
        result = TRUE;
        return true;
    }
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    Window* target = state.Find(window);
    if (target == nullptr) {
        lock.unlock();
        if (SlotOfHandle(HandleValue(window)) == 0) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        }
        return CallRemoteSend(window, message, wparam, lparam, wait, result);
    }
    std::shared_ptr<ThreadQueue> queue = state.CurrentQueue();
    if (target->owner == queue) {
        WNDPROC procedure = target->procedure;
        lock.unlock();
        result = procedure(window, message, wparam, lparam);
        return true;
    }
    auto request = std::make_shared<SendRequest>();
    request->target = window;
    request->message = message;
    request->wparam = wparam;
    request->lparam = lparam;
    request->waiter = queue;
    target->owner->incoming.push_back(request);
    State::Wake(*target->owner);
    if (!AwaitReply(lock, *queue, *request, wait)) {
        SetLastError(ERROR_TIMEOUT);
        return false;
    }
    result = request->result;
    return true;
}

}  // namespace
}  // namespace qf::device::wm

using namespace qf::device::wm;

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    Send(window, message, wparam, lparam, SendWait{}, result);
    return result;
}

LRESULT WINAPI SendMessageTimeoutW(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT flags,
                                   UINT timeout_ms, DWORD_PTR* result) {
    SendWait wait{std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms),
                  (flags & SMTO_BLOCK) == 0};
    LRESULT answer = 0;
    bool answered = Send(window, message, wparam, lparam, wait, answer);
    if (result != nullptr) *result = answered ? static_cast<DWORD_PTR>(answer) : 0;
    return answered ? TRUE : FALSE;
}
