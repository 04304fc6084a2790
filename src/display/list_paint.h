// The list content: a page of rows with the selection bar and a scroll bar over the pages.
#pragma once

#include "display/item_paint.h"
#include "display/paint_canvas.h"

namespace qf::display {

// The page the list shows.
struct ListPage {
    int first = 0;
    int last = -1;  // -1 with no rows
    int rows_per_page = 1;
};

// Any thread. The page of `row_count` rows that holds the selection: rows of `pitch` pixels fit into
// `height` less 4 scaled pixels of margin (at least one row); the first row is the page start at or
// below `first_visible`, or the start of the selection's page when `selected` is a row.
ListPage LayOutListPage(int height, int scale, int pitch, int row_count, int selected, int first_visible);

// User-interface thread, inside PaintItem. Updates the position (page, rows per page) and the thumb.
void PaintList(const Canvas& canvas, const PaintInputs& inputs, PaintState& state);

}  // namespace qf::display
