#include "host/selection_moves.h"

#include <algorithm>

namespace qf::host {
namespace {

bool ShowsOneItem(const SelectionState& s) { return !s.list_mode || s.details_shown; }

// Expands the item and shows another one; the ticker wraps around, the details stop at the ends.
void StepItem(SelectionState& s, int step) {
    s.expanded = true;
    s.scroll_offset = s.max_scroll = s.bottom_hits = 0;
    int next = s.current_item + step;
    int last = std::max(s.item_count - 1, 0);
    if (next > last) next = s.list_mode ? last : 0;
    if (next < 0) next = s.list_mode ? 0 : last;
    s.current_item = next;
}

}  // namespace

SelectionState MoveDown(SelectionState s) {
    if (ShowsOneItem(s)) {
        if (!s.expanded || s.max_scroll <= 0 || s.bottom_hits > 0) {
            StepItem(s, 1);
        } else {
            s.scroll_offset += s.line_px;
            if (s.scroll_offset >= s.max_scroll) {
                s.scroll_offset = s.max_scroll;
                ++s.bottom_hits;
            } else {
                s.bottom_hits = 0;
            }
        }
        return s;
    }
    display::ListPosition& p = s.position;
    ++p.selected;
    if (p.selected > s.row_count - 1) {
        p.selected = std::max(s.row_count - 1, 0);
        p.last_visible = p.selected;
        p.first_visible = std::max(s.row_count - p.rows_per_page, 0);
    } else if (p.selected > p.last_visible) {
        ++p.first_visible;
        ++p.last_visible;
    }
    return s;
}

SelectionState MoveUp(SelectionState s) {
    if (ShowsOneItem(s)) {
        if (!s.expanded || s.max_scroll <= 0 || s.bottom_hits < 0) {
            StepItem(s, -1);
        } else {
            s.scroll_offset -= s.line_px;
            if (s.scroll_offset <= 0) {
                s.scroll_offset = 0;
                --s.bottom_hits;
            } else {
                s.bottom_hits = 0;
            }
        }
        return s;
    }
    display::ListPosition& p = s.position;
    --p.selected;
    if (p.selected < 0) {
        p.selected = 0;
        p.first_visible = 0;
        p.last_visible = p.rows_per_page - 1;
    } else if (p.selected < p.first_visible) {
        --p.first_visible;
        --p.last_visible;
    }
    return s;
}

SelectionState PageDown(SelectionState s) {
    int step = s.position.rows_per_page - 1;
    s.position.first_visible += step;
    s.position.selected += step;
    s.position.last_visible += step;
    return MoveDown(s);
}

SelectionState PageUp(SelectionState s) {
    int step = 1 - s.position.rows_per_page;
    s.position.first_visible += step;
    s.position.selected += step;
    s.position.last_visible += step;
    return MoveUp(s);
}

Activation DecideActivation(bool list_mode, bool details_shown, const display::ListRow* selected) {
    if (!list_mode) return Activation::kToggleExpanded;
    if (details_shown) return Activation::kReturnToList;
    if (selected == nullptr) return Activation::kNothing;
    if (!selected->IsFeedRow()) return Activation::kOpenDetails;
    return selected->expanded ? Activation::kCollapseFeed : Activation::kExpandFeed;
}

display::ListPosition PageHolding(display::ListPosition p, int selected) {
    int rows = p.last_visible - p.first_visible + 1;
    p.selected = selected;
    if (selected < p.first_visible) {
        p.first_visible = selected;
        p.last_visible = selected + rows - 1;
    } else if (selected > p.last_visible) {
        p.last_visible = selected;
        p.first_visible = selected - rows + 1;
    }
    return p;
}

}  // namespace qf::host
