#include "host/state_report.h"

#include "host/library_state.h"
#include "qfdevice/item_report.h"

namespace qf::host {

void ReportState(const ItemWindow& item) {
    if (item.window == nullptr) return;
    const std::vector<ViewEntry>& views = Listing().views();
    device::ItemState state;
    state.window = item.window;
    bool has_view = item.current_view_index >= 0 && item.current_view_index < static_cast<int>(views.size());
    state.current_view_id = has_view ? views[item.current_view_index].view_id : 0;
    state.current_view_name = item.current_view_name;
    state.display_mode = item.feed_list   ? device::ItemDisplayMode::kFeedList
                         : item.list_mode ? device::ItemDisplayMode::kList
                                          : device::ItemDisplayMode::kTicker;
    state.details_shown = item.details_shown;
    state.expanded = item.expanded;
    state.current_item_index = item.current_item_index;
    state.selected_row = item.list_mode && !item.rows.empty() ? item.paint.position.selected : -1;
    state.status_text = item.status_text;
    state.downloading = item.downloading;
    device::ReportItemState(state);
}

}  // namespace qf::host
