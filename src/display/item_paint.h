// The item window's paint: everything is drawn into an off-screen bitmap which reaches the window in one
// BitBlt, so that the Today screen never shows a half-drawn item.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "db/listing_model.h"
#include "display/host_mode.h"
#include "display/item_bitmaps.h"
#include "display/item_content.h"
#include "display/list_rows.h"
#include "display/scroll_bar.h"
#include "display/skin_scale.h"

namespace qf::display {

// The item window's state as the paint reads it. The item window fills one per WM_PAINT.
struct PaintInputs {
    HostMode host_mode = HostMode::kToday;
    bool item_selected = false;     // holds the Today selection
    bool themed_background = true;  // the Today watermark and colours, else white with black text
    std::u16string font_size_name = u"normal";
    int item_height = 75;  // the height reported to the Today screen; the layout keeps within it
    SkinScale scale;
    ContentState content;
    ItemBitmaps bitmaps;  // borrowed from the skin; null handles are skipped
    int shadow_mode = 0;  // 0 none, 1 right, 2 down, 3 right and down
    bool show_description = true;
    int web_link_mode = 1;   // 0: no web-link icon
    bool feed_list = false;  // list rows are feeds with their items indented below
    bool expanded = false;   // the ticker item with its whole description and a scroll bar
    // The view listing; the ticker looks its item up here, loading the item's texts on first use.
    ListingModel* listing = nullptr;
    int current_item_index = 0;
    const std::vector<ListRow>* rows = nullptr;  // list mode
};

// A web-link icon the last ticker paint drew: the link it opens and its top.
struct LinkIcon {
    std::u16string url;
    int y = 0;
};

// What the paint keeps between paints: the list's page, the description's scroll, the measured text
// heights, and the positions the tap handler and the keys rely on.
struct PaintState {
    ListPosition position;
    int scroll_offset = 0;  // description scroll in pixels; the keys move it
    int max_scroll = 0;     // set by the paint of an expanded description
    // Text metric heights in unscaled pixels, measured on the first paint after a request.
    int row_height = 0;
    int line_height = 0;
    bool measure_row_height = true;
    bool measure_line_height = true;
    std::vector<LinkIcon> links;
    ThumbSpan thumb;
};

// User-interface thread of `window`, inside its WM_PAINT. Paints the whole client area: background
// (the watermark of the Today screen or white), the selection highlight, the menu button in Today mode,
// and the content (a message, the ticker item or a page of list rows). Today colours and the watermark
// are asked of the parent (in tab mode the parent's parent) with TODAYM_GETCOLOR and
// TODAYM_DRAWWATERMARK. Updates `state`. Answers false when it could not draw (no DC, memory DC or
// bitmap); BeginPaint and EndPaint have run either way.
bool PaintItem(HWND window, const PaintInputs& inputs, PaintState& state);

}  // namespace qf::display
