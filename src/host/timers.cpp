#include "host/timers.h"

#include "common/settings_store.h"
#include "host/device_time.h"
#include "host/download_control.h"
#include "host/library_state.h"
#include "host/repaint.h"
#include "host/startup.h"

namespace qf::host {
namespace {

constexpr std::int64_t kMinuteMs = 60'000;
constexpr std::int64_t kSleepMinutes = 5;

void OnStartupTimer(ItemWindow& item) {
    KillTimer(item.window, kStartupTimer);
    RunStartupSequence(item);
    item.status_text.clear();
    StartHeartbeat(item);
    if (item.list_mode) Repaint(item);
}

// The main application changed feeds, views or settings: reload everything with the heartbeat stopped,
// so that no tick sees a half-loaded state.
void ReloadAfterChange(ItemWindow& item) {
    StopHeartbeat(item);
    AppSettings().Write(setting::kTodayHasChanged, false);
    RunStartupSequence(item);
    StartHeartbeat(item);
    if (item.list_mode) Repaint(item);
}

void ApplyDisplayTick(ItemWindow& item) {
    DisplayTick tick = PlanDisplayTick({item.list_mode, item.expanded, item.ticker_delay, item.tick_counter,
                                        item.repaint_requested, item.current_item_index,
                                        static_cast<int>(Listing().listing().size())});
    item.tick_counter = tick.tick_counter;
    item.current_item_index = tick.current_item_index;
    item.repaint_requested = tick.repaint_requested;
    if (tick.clear_status) item.status_text.clear();
    if (tick.repaint) Repaint(item);
}

void OnHeartbeat(ItemWindow& item) {
    // A run repaints through its status messages; the listing it rebuilds at its end must not rotate.
    if (item.downloading) return;
    if (StepScheduledPrompt(item)) return;
    std::int64_t now_ms = DeviceLocalTimeMs();
    if (DeviceSlept(item.previous_tick_ms, now_ms)) AppSettings().Write(setting::kResetNextReload, true);
    item.previous_tick_ms = now_ms;
    if (CheckSchedule(item)) return;

    if (!item.visible) return;
    // The list only refreshes while the Today screen (or the configured top-level window) is in front.
    HWND front = GetForegroundWindow();
    if (front != nullptr && front != item.top_level) return;
    if (AppSettings().Read(setting::kTodayHasChanged)) {
        ReloadAfterChange(item);
        return;
    }
    ApplyDisplayTick(item);
}

}  // namespace

void StartHeartbeat(ItemWindow& item) {
    SetTimer(item.window, kHeartbeatTimer, kTimerIntervalMs, nullptr);
    item.heartbeat_running = true;
}

void StopHeartbeat(ItemWindow& item) {
    KillTimer(item.window, kHeartbeatTimer);
    item.heartbeat_running = false;
}

void EnsureHeartbeat(ItemWindow& item) {
    if (item.heartbeat_running) return;
    item.tick_counter = 0;
    StartHeartbeat(item);
}

void OnItemTimer(ItemWindow& item, UINT_PTR timer_id) {
    if (timer_id == kStartupTimer) OnStartupTimer(item);
    if (timer_id == kHeartbeatTimer) OnHeartbeat(item);
}

bool DeviceSlept(std::int64_t previous_tick_ms, std::int64_t now_ms) {
    return (now_ms - previous_tick_ms) / kMinuteMs > kSleepMinutes;
}

DisplayTick PlanDisplayTick(const DisplayTickState& state) {
    DisplayTick tick{state.tick_counter, state.current_item_index, false, false, state.repaint_requested};
    bool rotating = !state.list_mode && state.ticker_delay >= 1 && !state.expanded && state.tick_counter >= 0;
    if (rotating) {
        if (++tick.tick_counter >= state.ticker_delay) {
            tick.tick_counter = 0;
            int next = state.current_item_index + 1;
            tick.current_item_index = next >= state.listing_item_count ? 0 : next;
            tick.repaint = true;
        }
    } else if (state.tick_counter < 0) {
        if (++tick.tick_counter == 0) {
            tick.clear_status = true;
            tick.repaint = true;
        }
    } else if (state.repaint_requested) {
        tick.repaint = true;
        tick.repaint_requested = false;
    }
    return tick;
}

}  // namespace qf::host
