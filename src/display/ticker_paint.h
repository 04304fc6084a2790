// The ticker content: one item with its title, web-link icon and description, cut with "..." or, when
// expanded, scrolled with a scroll bar. Also the details of a list row.
#pragma once

#include "display/item_paint.h"
#include "display/paint_canvas.h"

namespace qf::display {

// User-interface thread, inside PaintItem. Records the link table, the thumb and the maximum scroll.
void PaintTicker(const Canvas& canvas, const PaintInputs& inputs, PaintState& state);

}  // namespace qf::display
