// The host-side view of the window manager (qfdevice/window_manager.h).
#include <algorithm>
#include <tuple>

#include "qfdevice/device.h"
#include "qfdevice/window_manager.h"
#include "window/timer_schedule.h"
#include "window/window_state.h"

namespace qf::device {

using namespace wm;

std::vector<WindowInfo> EnumerateWindows() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    std::vector<WindowInfo> result;
    for (HWND top_level : state.top_levels) {
        for (HWND handle : state.Subtree(top_level)) {
            Window* window = state.Find(handle);
            POINT origin = state.ScreenOrigin(*window);
            RECT screen{origin.x, origin.y, origin.x + window->rect.right - window->rect.left,
                        origin.y + window->rect.bottom - window->rect.top};
            result.push_back(WindowInfo{handle, window->parent, window->window_class->name, window->text,
                                        screen, state.IsVisible(*window), window->style});
        }
    }
    return result;
}

std::vector<HWND> TopLevelZOrder() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    return std::vector<HWND>(state.top_levels.rbegin(), state.top_levels.rend());
}

std::vector<TimerInfo> RunningTimers() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    std::vector<TimerInfo> result;
    for (const auto& weak : state.queues) {
        auto queue = weak.lock();
        if (!queue) continue;
        for (const Timer& timer : queue->timers) {
            result.push_back(TimerInfo{timer.window, timer.id, timer.period_ms, timer.due_ms});
        }
    }
    std::sort(result.begin(), result.end(), [](const TimerInfo& a, const TimerInfo& b) {
        return std::tuple(HandleValue(a.window), a.id) < std::tuple(HandleValue(b.window), b.id);
    });
    return result;
}

PumpResult PumpMessages() {
    PumpResult result;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Put back, so that the host's own loop still ends.
            PostQuitMessage(static_cast<int>(msg.wParam));
            result.quit_code = static_cast<int>(msg.wParam);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++result.dispatched;
    }
    return result;
}

namespace {

std::optional<std::int64_t> NextTickOfThisThread() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    return EarliestDue(state.CurrentQueue()->timers, [](const Timer&) { return true; });
}

}  // namespace

PumpResult AdvanceClockAndPump(std::chrono::milliseconds step) {
    PumpResult total = PumpMessages();
    std::int64_t end_ms = DeviceUptimeMs() + step.count();
    while (!total.quit_code) {
        std::int64_t now_ms = DeviceUptimeMs();
        std::optional<std::int64_t> tick_ms = NextTickOfThisThread();
        bool last_stage = !tick_ms || *tick_ms > end_ms;
        std::int64_t stage_ms = last_stage ? end_ms : *tick_ms;
        if (stage_ms > now_ms) StepClock(std::chrono::milliseconds(stage_ms - now_ms));
        PumpResult stage = PumpMessages();
        total.dispatched += stage.dispatched;
        total.quit_code = stage.quit_code;
        if (last_stage) break;
    }
    return total;
}

}  // namespace qf::device
