#include "display/list_rows.h"

namespace qf::display {

std::vector<ListRow> ItemRows(const std::vector<ListingRow>& listing) {
    std::vector<ListRow> rows;
    rows.reserve(listing.size());
    for (size_t i = 0; i < listing.size(); ++i) {
        ListRow row;
        row.text = listing[i].title;
        row.feed_id = listing[i].feed_id;
        row.item_id = listing[i].item_id;
        row.item_index = static_cast<int>(i);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<ListRow> FeedRows(const std::vector<FeedEntry>& feeds) {
    std::vector<ListRow> rows;
    rows.reserve(feeds.size());
    for (size_t i = 0; i < feeds.size(); ++i) {
        ListRow row;
        row.text = feeds[i].title;
        row.feed_id = feeds[i].feed_id;
        row.feed_index = static_cast<int>(i);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::u16string RowCaption(const ListRow& row) {
    char16_t marker = row.IsFeedRow() ? (row.expanded ? u'-' : u'+') : u'\u00B0';
    return std::u16string(1, marker) + u" " + row.text;
}

}  // namespace qf::display
