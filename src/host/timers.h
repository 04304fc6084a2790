// The item window's two timers: 13 runs the start-up once after the window exists; 21 is the
// one-second heartbeat that rotates the ticker, counts down transient messages and notices changes made
// by the main application.
#pragma once

#include <cstdint>

#include "host/item_window.h"

namespace qf::host {

inline constexpr UINT_PTR kStartupTimer = 13;
inline constexpr UINT_PTR kHeartbeatTimer = 21;
inline constexpr UINT kTimerIntervalMs = 1000;

// User-interface thread. Start or stop timer 21 and keep the item's running flag in step.
void StartHeartbeat(ItemWindow& item);
void StopHeartbeat(ItemWindow& item);
// User-interface thread. Starts timer 21 with a fresh tick counter unless it already runs.
void EnsureHeartbeat(ItemWindow& item);

// User-interface thread. WM_TIMER of the item window.
void OnItemTimer(ItemWindow& item, UINT_PTR timer_id);

// Any thread. Whether the gap between two heartbeat ticks means the device slept: more than five whole
// minutes.
bool DeviceSlept(std::int64_t previous_tick_ms, std::int64_t now_ms);

// The heartbeat's display step: ticker rotation and the message countdown.
struct DisplayTickState {
    bool list_mode = false;
    bool expanded = false;
    int ticker_delay = 0;
    int tick_counter = 0;
    bool repaint_requested = false;
    int current_item_index = 0;
    int listing_item_count = 0;
};
struct DisplayTick {
    int tick_counter = 0;
    int current_item_index = 0;
    bool clear_status = false;
    bool repaint = false;
    bool repaint_requested = false;  // the request flag after the tick
};
// Any thread. In ticker mode with a delay of at least 1, not expanded and no countdown running, the
// counter counts to the delay and then shows the next item (after the last, the first). A negative
// counter counts up and clears the status text at 0. Otherwise only a requested repaint happens, and the
// request is consumed. List mode has only the countdown and the requested repaint.
DisplayTick PlanDisplayTick(const DisplayTickState& state);

}  // namespace qf::host
