#include "host/item_window.h"

namespace qf::host {

void ItemWindow::ResetForNewWindow(int height) {
    item_height = height;
    font_size_name = u"normal";
    ticker_delay = kDefaultTickerDelay;
    visible = true;
    current_view_index = -1;
    current_view_name.clear();
    current_item_index = 0;
    list_mode = false;
    feed_list = false;
    details_shown = false;
    expanded = false;
    rows.clear();
    paint = display::PaintState{};
}

}  // namespace qf::host
