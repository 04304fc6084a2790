// The one device extension a Today item uses: it tells the host what it shows, so that the host's state
// dump and scripts can see the item's state without reading pixels. Plug-in and hosts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "win/types.h"

namespace qf::device {

enum class ItemDisplayMode { kTicker = 0, kList = 1, kFeedList = 2 };

struct ItemState {
    HWND window = nullptr;     // the item window the report is about
    LONG current_view_id = 0;  // 0: no view
    std::u16string current_view_name;
    ItemDisplayMode display_mode = ItemDisplayMode::kTicker;
    bool details_shown = false;  // list mode showing one item
    bool expanded = false;       // the ticker item (or the details) shown whole
    int current_item_index = 0;
    int selected_row = -1;  // list modes; -1 when no row is selected
    std::u16string status_text;
    bool downloading = false;  // a download run of the item is in progress
};

// Any thread; cheap (a copy under a lock). Replaces the previous report about state.window. The item
// reports whenever one of the fields changed, at the latest at its next paint.
void ReportItemState(const ItemState& state);
// Any thread. Drops the report about the window (the item window is being destroyed).
void ForgetItemState(HWND window);
// Any thread. The latest report about the window, or nullopt.
std::optional<ItemState> ReportedItemState(HWND window);
// Any thread. The latest report of every item window.
std::vector<ItemState> ReportedItemStates();

}  // namespace qf::device
