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

LRESULT AwaitReply(std::unique_lock<std::mutex>& lock, ThreadQueue& queue, const SendRequest& request) {
    while (!request.done) {
        ReceiveSentMessages(lock, queue);
        queue.wake.wait(lock, [&] { return request.done || !queue.incoming.empty(); });
    }
    return request.result;
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

}  // namespace
}  // namespace qf::device::wm

using namespace qf::device::wm;

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window == HWND_BROADCAST) {
        for (HWND top_level : TopLevelWindows()) SendMessageW(top_level, message, wparam, lparam);
        return TRUE;
    }
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    Window* target = state.Find(window);
    if (target == nullptr) {
        lock.unlock();
        if (SlotOfHandle(HandleValue(window)) == 0) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        return CallRemoteWindow(RemoteOp::kSend, window, message, wparam, lparam);
    }
    std::shared_ptr<ThreadQueue> queue = state.CurrentQueue();
    if (target->owner == queue) {
        WNDPROC procedure = target->procedure;
        lock.unlock();
        return procedure(window, message, wparam, lparam);
    }
    auto request = std::make_shared<SendRequest>();
    request->target = window;
    request->message = message;
    request->wparam = wparam;
    request->lparam = lparam;
    request->waiter = queue;
    target->owner->incoming.push_back(request);
    State::Wake(*target->owner);
    return AwaitReply(lock, *queue, *request);
}
