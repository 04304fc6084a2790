// Host-side view of the window manager: what the emulator's screen composition, its scripts and its state
// dump need to see and drive. The plug-in does not use this.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "win/window.h"

namespace qf::device {

struct WindowInfo {
    HWND handle = nullptr;
    HWND parent = nullptr;  // null for a top-level window
    std::u16string class_name;
    std::u16string text;
    RECT screen_rect{};    // in screen coordinates
    bool visible = false;  // the window and all of its ancestors have WS_VISIBLE
    DWORD style = 0;
};
// Any thread. Every window of this process in painting order: each top-level window from the bottom of
// the z-order to the top, each followed by its descendants (children bottom to top, depth first). A host
// that composes surfaces in this order gets the screen the user sees.
std::vector<WindowInfo> EnumerateWindows();

// Any thread. The top-level windows of this process, topmost first.
std::vector<HWND> TopLevelZOrder();

struct TimerInfo {
    HWND window = nullptr;  // null for a thread timer
    UINT_PTR id = 0;
    UINT period_ms = 0;
    std::int64_t next_due_ms = 0;  // on the DeviceUptimeMs() scale
};
// Any thread. Every running timer of this process, ordered by window handle and id.
std::vector<TimerInfo> RunningTimers();

struct PumpResult {
    int dispatched = 0;            // messages dispatched (sent messages handled on the way not counted)
    std::optional<int> quit_code;  // set when the thread's queue holds WM_QUIT; it stays queued
};
// Calling thread. Dispatches everything the thread's queue holds now (posted messages, paints, timers
// that fell due, sent messages) until nothing is left or WM_QUIT is next.
PumpResult PumpMessages();
// Calling thread. Moves the device clock forward by `step` in stages: to each due time of the calling
// thread's timers in turn, pumping after every stage, so that every tick handler sees the clock at its
// own due time; then to the end of the step, and pumps once more. Stops early at WM_QUIT.
// Ticks that change nothing cost nothing: once five minutes of stages have left the `watched` windows
// (all of this process's when empty; with their children), the running timers and the registry as they
// were, the clock moves two minutes per stage (so every three-minute window of the day still gets a tick;
// the ticks that fell due in between come as one, as on a device that did not look at its timers
// meanwhile); once a whole day has passed so, it moves to the end of the step. Any change goes back to
// stepping tick by tick.
PumpResult AdvanceClockAndPump(std::chrono::milliseconds step, const std::vector<HWND>& watched = {});

}  // namespace qf::device
