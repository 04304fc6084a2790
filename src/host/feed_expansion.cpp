#include "host/feed_expansion.h"

namespace qf::host {

void CollapseFeedRow(std::vector<display::ListRow>& rows, int feed_row, int& selected) {
    rows[feed_row].expanded = false;
    int begin = feed_row + 1;
    int end = begin;
    while (end < static_cast<int>(rows.size()) && !rows[end].IsFeedRow() &&
           rows[end].feed_id == rows[feed_row].feed_id) {
        ++end;
    }
    if (selected >= end) {
        selected -= end - begin;
    } else if (selected >= begin) {
        selected = feed_row;
    }
    rows.erase(rows.begin() + begin, rows.begin() + end);
}

int CollapseOtherFeeds(std::vector<display::ListRow>& rows, int feed_row, int& selected) {
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        if (i == feed_row || !rows[i].IsFeedRow() || !rows[i].expanded) continue;
        int before = static_cast<int>(rows.size());
        CollapseFeedRow(rows, i, selected);
        if (i < feed_row) feed_row -= before - static_cast<int>(rows.size());
    }
    return feed_row;
}

void InsertFeedItems(std::vector<display::ListRow>& rows, int feed_row,
                     const std::vector<ListingRow>& listing) {
    std::vector<display::ListRow> items = display::ItemRows(listing);
    if (items.size() > kMaxFeedItemRows) items.resize(kMaxFeedItemRows);
    // The rows belong to the feed row even when an item's feed record went missing meanwhile.
    for (display::ListRow& item : items) item.feed_id = rows[feed_row].feed_id;
    rows[feed_row].expanded = true;
    rows.insert(rows.begin() + feed_row + 1, items.begin(), items.end());
}

}  // namespace qf::host
