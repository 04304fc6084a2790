// The item's scroll bar: a striped track at the right edge, the two arrow buttons and a thumb built from
// the skin's scroller pieces. Shared by list mode (pages) and the expanded description (lines).
#pragma once

#include <vector>

#include "display/paint_canvas.h"

namespace qf::display {

// Where the thumb's pieces go, in pixels of the item window.
struct ThumbLayout {
    int top = 0;     // recorded for the tap handler
    int bottom = 0;  // recorded for the tap handler
    int scroller_top_y = 0;
    std::vector<int> middle_ys;
    int scroller_bottom_y = 0;
};

// Any thread. The thumb for `steps` positions (at least 1) at `position`, in a window `height` pixels
// high with the scale factor `scale`. A thumb shorter than 9 unscaled pixels per step is drawn as a
// short fixed-size thumb centred for the first position.
ThumbLayout LayOutThumb(int height, int scale, int steps, int position);

// The thumb positions the last paint recorded; both 0 when it drew no thumb.
struct ThumbSpan {
    int top = 0;
    int bottom = 0;
};

// User-interface thread. Track, both arrows and the thumb for (`steps`, `position`); answers the thumb.
ThumbSpan DrawScrollBar(const Canvas& canvas, const ItemBitmaps& bitmaps, int steps, int position);
// User-interface thread. Only the two arrows, for content that needs no thumb.
void DrawScrollArrows(const Canvas& canvas, const ItemBitmaps& bitmaps);

}  // namespace qf::display
