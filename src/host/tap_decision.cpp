#include "host/tap_decision.h"

namespace qf::host {
namespace {

struct Area {
    int left, top, right, bottom;
    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

TapAction Act(TapKind kind, int index = -1) { return TapAction{kind, index, false}; }

// The arrows and the track step a page in the list and a line (or an item) otherwise.
TapAction Step(const TapInput& tap, bool up) {
    bool list_shown = tap.list_mode && !tap.details_shown;
    if (up) return Act(list_shown ? TapKind::kPageUp : TapKind::kMoveUp);
    return Act(list_shown ? TapKind::kPageDown : TapKind::kMoveDown);
}

TapAction TrackTap(const TapInput& tap) {
    TapAction action;
    if (tap.thumb.top > 0 && tap.thumb.bottom > 0) {
        if (tap.y < tap.thumb.top) action = Step(tap, true);
        if (tap.y >= tap.thumb.bottom) action = Step(tap, false);
    }
    action.start_drag = true;
    return action;
}

int LinkIconAt(const TapInput& tap) {
    if (tap.links == nullptr) return -1;
    int s = tap.scale;
    bool today = tap.host_mode == display::HostMode::kToday;
    int left = today ? 20 * s : 5 * s;
    int right = today ? 36 * s : 25 * s;
    if (tap.x <= left || tap.x >= right) return -1;
    for (size_t i = 0; i < tap.links->size(); ++i) {
        int y = (*tap.links)[i].y;
        if (tap.y > y && tap.y < y + 16 * s) return static_cast<int>(i);
    }
    return -1;
}

TapAction RowTap(const TapInput& tap) {
    if (tap.row_pitch <= 0 || tap.y >= tap.rows_per_page * tap.row_pitch) return Act(TapKind::kNothing);
    int row = tap.first_visible + tap.y / tap.row_pitch;
    if (row >= tap.row_count) return Act(TapKind::kNothing);
    return Act(TapKind::kActivateRow, row);
}

}  // namespace

TapAction DecideTap(const TapInput& tap) {
    int s = tap.scale;
    int w = tap.width;
    int h = tap.height;
    if (tap.downloading) return Act(TapKind::kMainMenu);
    if (tap.host_mode == display::HostMode::kToday && tap.x > 1 * s && tap.x < 17 * s && tap.y < 16 * s)
        return Act(TapKind::kMainMenu);
    if (!tap.dragging && Area{w - 15 * s, 0, w, 12 * s}.Holds(tap.x, tap.y)) return Step(tap, true);
    if (!tap.dragging && Area{w - 15 * s, h - 12 * s, w, h}.Holds(tap.x, tap.y)) return Step(tap, false);
    Area track{w - 15 * s, 12 * s, w, h - 12 * s};
    bool scrolls_there = tap.expanded || tap.list_mode;
    if (scrolls_there && track.bottom > track.top && track.Holds(tap.x, tap.y)) return TrackTap(tap);
    if (!tap.dragging && Area{0, h - 15 * s, 12 * s, h}.Holds(tap.x, tap.y)) {
        bool details = tap.list_mode && tap.details_shown;
        return Act(details ? TapKind::kReturnToList : TapKind::kNothing);
    }
    if (tap.dragging) return Act(TapKind::kNothing);
    bool item_shown = !tap.list_mode || tap.details_shown;
    if (item_shown) {
        int icon = LinkIconAt(tap);
        if (icon >= 0) return Act(TapKind::kOpenLink, icon);
    }
    if (tap.list_mode) return tap.details_shown ? Act(TapKind::kNothing) : RowTap(tap);
    return Act(TapKind::kItemMenu);
}

}  // namespace qf::host
