// The item's view of the listing model: which view the start-up shows and the list rows built from the
// listing.
#pragma once

#include <cstdint>
#include <vector>

#include "db/listing_model.h"
#include "host/item_window.h"

namespace qf::host {

// Which view the start-up shows for Today/CurrentViewID.
struct StartView {
    int index = -1;              // -1: there are no views
    bool write_view_id = false;  // the stored id named no view: the first view's id is stored instead
};
// Any thread. The first view with the stored id; the first view for id 0 or for an id that names no
// view.
StartView ChooseStartView(const std::vector<ViewEntry>& views, std::int32_t stored_view_id);

// User-interface thread. Replaces the list rows (feed rows in feed-list mode, else one row per listing
// item) and resets the selection and the page to the top.
void RebuildListRows(ItemWindow& item, const ListingModel& listing);

}  // namespace qf::host
