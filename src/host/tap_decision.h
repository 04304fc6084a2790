// What a tap on the item does, decided from the positions the last paint recorded: the menu button, the
// scroll arrows and track, the back button, the web-link icons, a list row, or the item menu.
#pragma once

#include <vector>

#include "display/host_mode.h"
#include "display/item_paint.h"

namespace qf::host {

struct TapInput {
    int x = 0, y = 0;  // client coordinates
    int width = 0, height = 0;
    int scale = 1;
    display::HostMode host_mode = display::HostMode::kToday;
    bool downloading = false;  // every tap then offers to cancel the run
    bool dragging = false;     // the pen went down on the scroll track and has not been lifted
    bool list_mode = false;
    bool details_shown = false;
    bool expanded = false;
    const std::vector<display::LinkIcon>* links = nullptr;
    display::ThumbSpan thumb;
    int first_visible = 0;
    int rows_per_page = 0;
    int row_pitch = 0;  // row height times the scale factor
    int row_count = 0;
};

enum class TapKind {
    kNothing,
    kMainMenu,
    kMoveUp,
    kMoveDown,
    kPageUp,
    kPageDown,
    kReturnToList,  // the back button of a list row's details
    kOpenLink,      // index: the link icon
    kActivateRow,   // index: the row to select and activate
    kItemMenu,
};

struct TapAction {
    TapKind kind = TapKind::kNothing;
    int index = -1;
    bool start_drag = false;  // the tap fell on the scroll track: later pen moves step towards the pen

    bool operator==(const TapAction&) const = default;
};

// Any thread. Rectangles include their left and top edges and exclude their right and bottom edges.
TapAction DecideTap(const TapInput& tap);

}  // namespace qf::host
