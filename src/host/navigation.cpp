#include "host/navigation.h"

#include <algorithm>

#include "host/feed_expansion.h"
#include "host/library_state.h"
#include "host/repaint.h"
#include "host/selection_moves.h"

namespace qf::host {
namespace {

SelectionState StateOf(const ItemWindow& item) {
    SelectionState s;
    s.list_mode = item.list_mode;
    s.details_shown = item.details_shown;
    s.expanded = item.expanded;
    s.scroll_offset = item.paint.scroll_offset;
    s.max_scroll = item.paint.max_scroll;
    s.bottom_hits = item.bottom_hits;
    s.line_px = std::max(item.paint.line_height, 1) * Library().skin_scale.scale_factor;
    s.current_item = item.current_item_index;
    s.item_count = static_cast<int>(Listing().listing().size());
    s.position = item.paint.position;
    s.row_count = static_cast<int>(item.rows.size());
    return s;
}

void Apply(ItemWindow& item, const SelectionState& s) {
    item.expanded = s.expanded;
    item.paint.scroll_offset = s.scroll_offset;
    item.paint.max_scroll = s.max_scroll;
    item.bottom_hits = s.bottom_hits;
    item.current_item_index = s.current_item;
    item.paint.position = s.position;
    Repaint(item);
}

const display::ListRow* SelectedRow(const ItemWindow& item) {
    int selected = item.paint.position.selected;
    if (selected < 0 || selected >= static_cast<int>(item.rows.size())) return nullptr;
    return &item.rows[selected];
}

void ExpandFeed(ItemWindow& item) {
    int& selected = item.paint.position.selected;
    int feed_row = CollapseOtherFeeds(item.rows, selected, selected);
    selected = feed_row;
    Listing().BuildFeedListing(item.rows[feed_row].feed_id);
    InsertFeedItems(item.rows, feed_row, Listing().listing());
}

void ReturnToList(ItemWindow& item) {
    for (size_t i = 0; i < item.rows.size(); ++i) {
        if (item.rows[i].item_index == item.current_item_index) {
            item.paint.position = PageHolding(item.paint.position, static_cast<int>(i));
            break;
        }
    }
    item.details_shown = false;
}

}  // namespace

void MoveSelectionDown(ItemWindow& item) { Apply(item, MoveDown(StateOf(item))); }

void MoveSelectionUp(ItemWindow& item) { Apply(item, MoveUp(StateOf(item))); }

void PageSelectionDown(ItemWindow& item) { Apply(item, PageDown(StateOf(item))); }

void PageSelectionUp(ItemWindow& item) { Apply(item, PageUp(StateOf(item))); }

void ActivateSelection(ItemWindow& item) {
    switch (DecideActivation(item.list_mode, item.details_shown, SelectedRow(item))) {
        case Activation::kToggleExpanded:
            item.expanded = !item.expanded;
            item.paint.scroll_offset = 0;
            item.bottom_hits = 0;
            break;
        case Activation::kOpenDetails:
            item.current_item_index = SelectedRow(item)->item_index;
            item.details_shown = true;
            break;
        case Activation::kExpandFeed:
            ExpandFeed(item);
            break;
        case Activation::kCollapseFeed:
            CollapseFeedRow(item.rows, item.paint.position.selected, item.paint.position.selected);
            break;
        case Activation::kReturnToList:
            ReturnToList(item);
            break;
        case Activation::kNothing:
            break;
    }
    if (item.list_mode) {
        item.paint.scroll_offset = 0;
        item.bottom_hits = 0;
        item.expanded = item.details_shown;
    }
    Repaint(item);
}

}  // namespace qf::host
