// The writes of one feed update, inside the caller's transaction: the feed row, the new items with their
// texts, enclosures and keyword-view memberships, and the purge. Internal to the feed update.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "download/feed_update.h"
#include "parse/parsed_feed.h"
#include "shared/adoclass31.h"

namespace qf {

// What the update takes from the feed's row; the defaults stand when the row cannot be read.
struct FeedValues {
    int max_items = 50;
    bool extended_data = false;
    bool extended_audio = false;
    std::int16_t priority = 1;
    std::u16string stored_date;  // FormatGmt of LastFeedDate
    std::u16string page_title;   // the feed's title, cleaned, for page entries
};

// One thread; lives for one update. Record-layer failures throw CAdoException.
class FeedWriter {
  public:
    FeedWriter(FeedDatabase& database, AdoConnection& connection, std::int32_t feed_id,
               const FeedValues& values, PageQueue* pages);

    void WriteFeedRow(const ParsedFeed& feed, const std::u16string& digest, const SYSTEMTIME& feed_date,
                      const SYSTEMTIME& now);
    // Stores the items that are not known yet, the last of the document first (so the first gets the
    // largest id); answers how many were stored. New items that the purge would remove at once (more
    // than MaxItems newer ones arrive with them) are not written at all.
    int WriteItems(const std::vector<ParsedItem>& items, AutoPurge auto_purge, const SYSTEMTIME& now);
    // Removes the items that the purge rule drops; answers how many.
    int Purge(AutoPurge auto_purge);

  private:
    struct Candidate {
        const ParsedItem* item;
        std::int32_t id;
        std::u16string title;
        std::u16string link;
        std::u16string key;
        bool is_new;
    };

    std::int32_t NextItemId();
    void LoadKnownItems();
    void WriteItem(const Candidate& candidate, const SYSTEMTIME& now);
    void WriteChunks(std::int32_t id, std::u16string_view text);
    void WriteMemberships(std::int32_t id, const ParsedItem& item);

    FeedDatabase& database_;
    AdoConnection& connection_;
    std::int32_t feed_id_;
    const FeedValues& values_;
    PageQueue* pages_;
    std::u16string feed_number_;
    // The feed's stored items by key and title ("\n" between them), as the item look-up finds them.
    std::unordered_map<std::u16string, std::int32_t> known_;
    std::unordered_set<std::int32_t> present_;  // ids of the items in this file
    int pages_queued_ = 0;
    std::optional<std::int32_t> largest_id_;
    std::optional<std::vector<std::pair<std::int32_t, std::u16string>>> keyword_views_;
    // Opened once per update, so that their insert statements are prepared once.
    AdoRecordset new_items_;
    AdoRecordset new_chunks_;
    size_t chunk_characters_ = 0;  // written through new_chunks_
};

// Adds the chunks of one item's text to `rows` (a FeedItemShortData or FeedItemLongData recordset of
// FeedItemID,FeedID,LinkOrder,Keep,TextData opened for change): LinkOrder 1, 2, ..., Keep 0.
void WriteTextChunks(AdoRecordset& rows, std::int32_t item_id, std::int32_t feed_id,
                     const std::vector<std::u16string_view>& chunks);

}  // namespace qf
