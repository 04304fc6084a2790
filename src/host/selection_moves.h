// Where the keys move the selection: through the ticker's items and the lines of an expanded
// description, or through the rows of the list. Pure decisions; navigation.cpp applies them.
#pragma once

#include "display/list_rows.h"

namespace qf::host {

struct SelectionState {
    bool list_mode = false;
    bool details_shown = false;
    bool expanded = false;
    int scroll_offset = 0;  // description, pixels
    int max_scroll = 0;     // 0: the description does not scroll
    int bottom_hits = 0;    // positive at the bottom, negative at the top of the description
    int line_px = 1;        // one description line: line height times the scale factor
    int current_item = 0;
    int item_count = 0;  // items of the listing
    display::ListPosition position;
    int row_count = 0;  // list rows
};

// Any thread. Down in the ticker (or a list row's details): expand and show the next item, unless the
// expanded description still scrolls down by a line; one more press at its bottom moves on. Past the
// last item the ticker wraps to the first, the details stay. In the list: the next row, the page
// following it.
SelectionState MoveDown(SelectionState state);
// Any thread. The mirror of MoveDown.
SelectionState MoveUp(SelectionState state);
// Any thread. A page of rows down or up in the list: the page and the selection move by one page.
SelectionState PageDown(SelectionState state);
SelectionState PageUp(SelectionState state);

// What activating the selection does.
enum class Activation {
    kToggleExpanded,  // ticker: expand or collapse the item
    kOpenDetails,     // list: an item row shows its item
    kExpandFeed,      // list: a collapsed feed row shows its items below it
    kCollapseFeed,    // list: an expanded feed row hides them
    kReturnToList,    // details: back to the list
    kNothing,         // list without a selected row
};
// Any thread. `selected` is the list's selected row or null when there is none.
Activation DecideActivation(bool list_mode, bool details_shown, const display::ListRow* selected);

// Any thread. The page after returning from details to the row `selected`: moved just enough to hold it,
// with the same number of rows.
display::ListPosition PageHolding(display::ListPosition position, int selected);

}  // namespace qf::host
