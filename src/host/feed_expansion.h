// Feed rows of the feed list expanding to their items and collapsing again. Only one feed is expanded
// at a time, because its item rows index the one feed listing the model holds.
#pragma once

#include <vector>

#include "db/listing_model.h"
#include "display/list_rows.h"

namespace qf::host {

inline constexpr int kMaxFeedItemRows = 16;

// Any thread. Removes the item rows that follow the feed row `feed_row` (the rows after it with its feed
// id) and marks it collapsed; `selected` moves up for every removed row above it.
void CollapseFeedRow(std::vector<display::ListRow>& rows, int feed_row, int& selected);

// Any thread. Collapses every expanded feed row other than `feed_row`; answers where `feed_row` is
// afterwards.
int CollapseOtherFeeds(std::vector<display::ListRow>& rows, int feed_row, int& selected);

// Any thread. Inserts one item row per row of the feed's listing (at most kMaxFeedItemRows) directly
// below `feed_row` and marks it expanded.
void InsertFeedItems(std::vector<display::ListRow>& rows, int feed_row,
                     const std::vector<ListingRow>& listing);

}  // namespace qf::host
