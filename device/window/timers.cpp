// SetTimer/KillTimer. Ticks are not queued: GetMessageW/PeekMessageW make WM_TIMER from the due times
// (message_queue.cpp), so a clock step only has to wake the waiting threads.
#include <algorithm>
#include <mutex>

#include "qfdevice/device.h"
#include "window/window_state.h"

namespace qf::device::wm {
namespace {

void WakeAllQueues() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    state.WakeAll();
}

void ListenToClockSteps() {
    static std::once_flag once;
    std::call_once(once, [] { AddClockStepListener(WakeAllQueues); });
}

}  // namespace
}  // namespace qf::device::wm

using namespace qf::device::wm;

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse_ms, TIMERPROC timer_proc) {
    ListenToClockSteps();
    UINT period_ms = std::max<UINT>(elapse_ms, USER_TIMER_MINIMUM);
    std::int64_t now_ms = qf::device::DeviceUptimeMs();
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    std::shared_ptr<ThreadQueue> queue = state.CurrentQueue();
    if (window != nullptr) {
        if (state.FindOwnedOrFail(window) == nullptr) return 0;
    } else {
        id = state.next_thread_timer_id++;
    }
    Timer timer{window, id, period_ms, now_ms + period_ms, timer_proc, state.next_timer_order++};
    auto existing = std::find_if(queue->timers.begin(), queue->timers.end(),
                                 [&](const Timer& t) { return t.window == window && t.id == id; });
    if (existing != queue->timers.end()) {
        *existing = timer;
    } else {
        queue->timers.push_back(timer);
    }
    return window != nullptr && id == 0 ? 1 : id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    std::shared_ptr<ThreadQueue> queue = state.CurrentQueue();
    if (std::erase_if(queue->timers, [&](const Timer& t) { return t.window == window && t.id == id; }) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}
