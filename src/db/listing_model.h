// ListingModel: what the item window shows, built from the shared database: the view listing (the
// headlines of one view or one feed as a flat array of ListingRow) and the plain lists of views and feeds
// offered for choosing. It owns the process's one FeedDatabase.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/feed_database.h"

namespace qf {

// One headline of a listing.
struct ListingRow {
    std::int32_t item_id = 0;
    std::u16string title;  // "No Title: Item #<position>" when the item has none
    std::int16_t item_status = 0;
    SYSTEMTIME item_date{};
    std::int16_t texts_loaded = 0;  // 1 once FindRow has loaded description and extended content
    std::u16string description;
    std::u16string link;
    std::u16string extended_content;
    // The item's feed; 0 and empty when the feed record is missing.
    std::int32_t feed_id = 0;
    std::u16string feed_title;
    std::int16_t feed_status = 0;
    std::int16_t feed_priority = 0;
    SYSTEMTIME feed_last_date{};
    std::int32_t view_id = 0;  // 0 for a feed listing
    bool has_audio = false;
    std::u16string audio_path;
};

struct ViewEntry {
    std::int32_t view_id = 0;
    std::u16string label;
    std::int16_t status = 0;
};

struct FeedEntry {
    std::int32_t feed_id = 0;
    std::u16string title;
    std::int16_t status = 0;
    std::int16_t priority = 0;
    SYSTEMTIME last_feed_date{};
    std::u16string feed_url;
};

enum class LoadTexts { kNo, kYes };

// The thread that builds a listing owns its rows until the next build. One thread at a time per
// operation; the FeedDatabase inside serialises database access.
class ListingModel {
  public:
    // Makes the FeedDatabase, with its lock and file check set from Special/LockDatabase and
    // Special/VerifyDatabase (default 1 each).
    ListingModel();
    // Resets the database and destroys it.
    ~ListingModel();
    ListingModel(const ListingModel&) = delete;
    ListingModel& operator=(const ListingModel&) = delete;

    FeedDatabase& database() { return *database_; }

    // The views that are not deleted, by label; false on failure.
    bool LoadViews();
    // The feeds that are not deleted, by title; false on failure.
    bool LoadFeeds();
    const std::vector<ViewEntry>& views() const { return views_; }
    const std::vector<FeedEntry>& feeds() const { return feeds_; }

    // Replaces the listing with the rows of a view; false (and an empty listing) when the view is missing
    // or the database fails. The item always passes hide_read true.
    bool BuildViewListing(std::int32_t view_id, bool hide_read);
    // Replaces the listing with the 50 newest items of a feed; false when the feed is missing.
    bool BuildFeedListing(std::int32_t feed_id);
    const std::vector<ListingRow>& listing() const { return listing_; }
    // Empties the listing (no view to show).
    void ClearListing() { listing_.clear(); }

    // The first row of the listing with the item id, or null. With kYes its description and extended
    // content are loaded on the first such call.
    ListingRow* FindRow(std::int32_t item_id, LoadTexts load_texts);

  private:
    // Turns `items` into listing rows with their feed fields and their files of `audio` (the downloaded
    // audio list).
    void MakeRows(const std::vector<ItemRecord>& items, const std::vector<AudioRecord>& audio,
                  std::int32_t view_id);

    std::unique_ptr<FeedDatabase> database_;
    std::vector<ViewEntry> views_;
    std::vector<FeedEntry> feeds_;
    std::vector<ListingRow> listing_;
};

}  // namespace qf
