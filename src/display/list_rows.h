// The rows of list mode: one per item of the view listing, or in feed-list mode one per feed that
// expands to its items. The item window owns the rows; navigation moves the selection over them and the
// paint draws a page of them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "db/listing_model.h"

namespace qf::display {

struct ListRow {
    std::u16string text;  // item title or feed name
    std::int32_t feed_id = 0;
    std::int32_t item_id = -1;  // -1 on a feed row
    bool expanded = false;      // feed row only: its items are shown below it
    int feed_index = -1;        // into the listing model's feeds; -1 on an item row
    int item_index = -1;        // into the view listing; -1 on a feed row

    bool IsFeedRow() const { return item_index == -1; }
};

// Where the list stands: the selected row and the page of rows shown. The paint corrects the page to
// the one holding the selection and records how many rows fitted.
struct ListPosition {
    int selected = 0;
    int first_visible = 0;
    int last_visible = 0;
    int rows_per_page = 0;
};

// Any thread. One item row per listing row, in listing order.
std::vector<ListRow> ItemRows(const std::vector<ListingRow>& listing);
// Any thread. One collapsed feed row per feed.
std::vector<ListRow> FeedRows(const std::vector<FeedEntry>& feeds);

// Any thread. The caption the list draws: "+" before a collapsed feed, "-" before an expanded one, a
// degree sign before an item, then a blank and the row's text.
std::u16string RowCaption(const ListRow& row);

}  // namespace qf::display
