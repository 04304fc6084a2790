#include "host/list_building.h"

namespace qf::host {

StartView ChooseStartView(const std::vector<ViewEntry>& views, std::int32_t stored_view_id) {
    if (views.empty()) return {};
    if (stored_view_id == 0) return {0, false};
    for (size_t i = 0; i < views.size(); ++i) {
        if (views[i].view_id == stored_view_id) return {static_cast<int>(i), false};
    }
    return {0, true};
}

void RebuildListRows(ItemWindow& item, const ListingModel& listing) {
    item.rows = item.feed_list ? display::FeedRows(listing.feeds()) : display::ItemRows(listing.listing());
    item.paint.position = display::ListPosition{};
}

}  // namespace qf::host
