// The item window object: the one object that carries the whole state of the item window. The library
// creates it when it is loaded and deletes it when it is unloaded; every entry point, the window
// procedures and the paint work on it. User-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qf::host {

inline constexpr int kDefaultItemHeight = 75;
inline constexpr int kDefaultTickerDelay = 3;
// The status text while the start-up has not run yet.
inline constexpr char16_t kBuildingStatus[] = u"Building View Listing...";

struct ItemWindow {
    // Windows.
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND control_strip = nullptr;  // tab mode only
    HWND top_level = nullptr;      // the window that must be in front for the list to refresh

    // Geometry: the height the item reports to the Today screen, and whether it changed since.
    int item_height = kDefaultItemHeight;
    bool height_changed = false;

    // Visibility and timers.
    bool visible = true;
    bool heartbeat_running = false;  // timer 21
    bool schedule_active = false;    // keeps the heartbeat alive while hidden
    bool suspended = false;          // message 0x03FF
    bool paint_in_progress = false;

    // Display settings.
    std::u16string font_size_name = u"normal";
    bool themed_background = false;
    int ticker_delay = kDefaultTickerDelay;
    int tick_counter = 0;  // negative: countdown until the status text goes
    bool repaint_requested = false;

    // Content.
    std::u16string status_text;  // while not empty, shown instead of the list
    int current_view_index = -1;
    std::u16string current_view_name;
    int current_item_index = 0;
    bool list_mode = false;
    bool details_shown = false;
    bool expanded = false;
    bool database_unusable = false;
    std::u16string database_message;

    // Device time of the previous heartbeat tick, in milliseconds.
    std::int64_t previous_tick_ms = 0;

    // The reset of an entry point that creates the item window: the given height, the default font size
    // and ticker delay, visible, and no view or list.
    void ResetForNewWindow(int height);
};

}  // namespace qf::host
