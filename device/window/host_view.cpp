// The host-side view of the window manager (qfdevice/window_manager.h).
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <string_view>
#include <tuple>

#include "qfdevice/device.h"
#include "qfdevice/window_manager.h"
#include "qfdevice/window_surface.h"
#include "system/registry_hive.h"
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

constexpr std::int64_t kMinuteMs = 60'000;
constexpr std::int64_t kDayMs = 24 * 60 * kMinuteMs;
// After this long with nothing changed, every countdown of a tick handler has run out; from then on a
// clock step samples the timers every two minutes (a time of day matches within a minute either side, so
// every such window of three minutes still gets a tick), and after a whole quiet day (every time of day
// has been seen) it moves to the end of the step at once.
constexpr std::int64_t kQuietBeforeSamplingMs = 5 * kMinuteMs;
constexpr std::int64_t kSampleMs = 2 * kMinuteMs;

std::optional<std::int64_t> NextTickOfThisThread() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    return EarliestDue(state.CurrentQueue()->timers, [](const Timer&) { return true; });
}

// The ticks of the calling thread's timers that fall due up to `until_ms` become one tick each, as on a
// device whose timers were not looked at meanwhile (WM_TIMER is never queued twice).
void CoalesceTicksUntil(std::int64_t until_ms) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    for (Timer& timer : state.CurrentQueue()->timers) {
        if (timer.due_ms < until_ms && timer.period_ms > 0) {
            timer.due_ms += (until_ms - timer.due_ms) / timer.period_ms * timer.period_ms;
        }
    }
}

void Mix(std::uint64_t& hash, std::uint64_t value) {
    hash ^= value + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
}

bool IsWatched(const std::vector<WindowInfo>& windows, HWND handle, const std::vector<HWND>& watched) {
    if (watched.empty()) return true;
    while (handle != nullptr) {
        if (std::find(watched.begin(), watched.end(), handle) != watched.end()) return true;
        auto window = std::find_if(windows.begin(), windows.end(),
                                   [&](const WindowInfo& info) { return info.handle == handle; });
        handle = window != windows.end() ? window->parent : nullptr;
    }
    return false;
}

// Everything a tick handler can change that anyone could see: the watched windows (all when none are
// named) with their pixels and texts, the running timers (not their due times), and the registry (this
// process's writes and the file).
std::uint64_t WorldFingerprint(const std::vector<HWND>& watched) {
    std::uint64_t hash = 0;
    std::vector<WindowInfo> windows = EnumerateWindows();
    for (const WindowInfo& window : windows) {
        if (!IsWatched(windows, window.handle, watched)) continue;
        Mix(hash, HandleValue(window.handle));
        Mix(hash, std::hash<std::u16string>{}(window.text));
        Mix(hash, (static_cast<std::uint64_t>(window.screen_rect.left) << 32) ^ window.screen_rect.top);
        Mix(hash, (static_cast<std::uint64_t>(window.screen_rect.right) << 32) ^ window.screen_rect.bottom);
        Mix(hash, window.visible ? window.style | 0x1'0000'0000ull : window.style);
        SurfacePixels surface = ReadWindowSurface(window.handle);
        Mix(hash, std::hash<std::string_view>{}(std::string_view(
                      reinterpret_cast<const char*>(surface.pixels.data()), surface.pixels.size() * 4)));
    }
    for (const TimerInfo& timer : RunningTimers()) {
        Mix(hash, HandleValue(timer.window));
        Mix(hash, timer.id);
        Mix(hash, timer.period_ms);
    }
    Mix(hash, HiveSession::CommittedWrites());
    // Other processes' changes land in the write-ahead log first and reach the file at a checkpoint.
    std::string hive_file = RegistryFilePath().string();
    for (const std::string& file : {hive_file, hive_file + "-wal"}) {
        struct stat hive;
        if (::stat(file.c_str(), &hive) != 0) continue;
        Mix(hash, static_cast<std::uint64_t>(hive.st_size));
        Mix(hash, static_cast<std::uint64_t>(hive.st_mtim.tv_sec) * 1'000'000'000ull + hive.st_mtim.tv_nsec);
        Mix(hash, hive.st_ino);
    }
    return hash;
}

// Where the next stage of an advance ends: at the next tick while ticks change things, else at the next
// sample (two minutes on, or the end once a day has passed without a change), never past `end_ms`.
std::int64_t NextStage(std::int64_t now_ms, std::int64_t end_ms, std::int64_t quiet_ms) {
    if (quiet_ms >= kDayMs) return end_ms;
    if (quiet_ms >= kQuietBeforeSamplingMs) return std::min(end_ms, now_ms + kSampleMs);
    std::optional<std::int64_t> tick_ms = NextTickOfThisThread();
    return tick_ms && *tick_ms < end_ms ? std::max(*tick_ms, now_ms) : end_ms;
}

}  // namespace

PumpResult AdvanceClockAndPump(std::chrono::milliseconds step, const std::vector<HWND>& watched) {
    PumpResult total = PumpMessages();
    std::int64_t end_ms = DeviceUptimeMs() + step.count();
    std::uint64_t world = WorldFingerprint(watched);
    std::int64_t unchanged_since_ms = DeviceUptimeMs();
    while (!total.quit_code) {
        std::int64_t now_ms = DeviceUptimeMs();
        std::int64_t stage_ms = NextStage(now_ms, end_ms, now_ms - unchanged_since_ms);
        if (stage_ms - now_ms > kMinuteMs / 2) CoalesceTicksUntil(stage_ms);
        if (stage_ms > now_ms) StepClock(std::chrono::milliseconds(stage_ms - now_ms));
        PumpResult stage = PumpMessages();
        total.dispatched += stage.dispatched;
        total.quit_code = stage.quit_code;
        if (stage_ms >= end_ms) break;
        if (std::uint64_t now_world = WorldFingerprint(watched); now_world != world) {
            world = now_world;
            unchanged_since_ms = stage_ms;
        }
    }
    return total;
}

}  // namespace qf::device
