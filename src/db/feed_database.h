// FeedDatabase: the one object through which all work on the shared database file goes. It is its
// DatabaseConnection (opening, the lock, Run) plus the stores: loads, inserts, updates, deletions and the
// rebuilt views, each one database operation that answers a DbResult and keeps nothing of what it read.
// Compaction (compaction.h) and the backup file (backup.h) work on the connection alone.
//
// Threads: any thread may call any operation (see DatabaseConnection for the lock).
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "db/backup.h"
#include "db/compaction.h"
#include "db/database_connection.h"
#include "db/records.h"

namespace qf {

class FeedDocument;
struct ParsedFeed;

enum class TextKind { kShort, kLong };
enum class SubscriptionView { kOwnView, kWhatsNew };
enum class ItemCount { kUnread, kKept, kAll };

// Which fields a search looks in.
struct SearchFields {
    bool title = true;
    bool keywords = false;
    bool text = false;
};

// One search result.
struct SearchHit {
    std::int32_t feed_item_id = 0;
    std::u16string title;
    std::int32_t feed_id = 0;
};

class FeedDatabase : public DatabaseConnection {
  public:
    // The folder below which audio files lie (one folder per feed title); deletions remove files there.
    // Any thread.
    void set_audio_folder(const std::u16string& folder);
    std::u16string audio_folder() const;

    // ---- Loads: each answers what it read (kNotFound for a missing record) ---------------------------
    DbResult<ViewRecord> LoadView(std::int32_t view_id);
    DbResult<FeedRecord> LoadFeed(std::int32_t feed_id);
    // With GUID, keywords and DateEntered.
    DbResult<ItemRecord> LoadItem(std::int32_t item_id);
    DbResult<SubscriptionRecord> LoadSubscription(std::int32_t subscription_id);
    // Ordered by title.
    DbResult<std::vector<SubscriptionRecord>> LoadSubscriptions();
    // In download order (Priority desc, LastDownloadDate asc, Title): FeedID, Title, Status, Priority,
    // LastFeedDate and FeedUrl are filled.
    DbResult<std::vector<FeedRecord>> LoadFeedsForDownload();
    // At most `max_count` items of the feed (status not 0), newest first.
    DbResult<std::vector<ItemRecord>> LoadItemsOfFeed(std::int32_t feed_id, int max_count);
    // The audio list: records of FeedItemAudioData.Status `status` (1 downloaded, oldest first; 0 pending,
    // newest first), each with its feed's folder name.
    DbResult<std::vector<AudioRecord>> LoadAudio(std::int16_t status);
    // Ids of the feeds of a view (not deleted), by priority, each once; kNotFound without the view.
    DbResult<std::vector<std::int32_t>> FeedIdsOfView(std::int32_t view_id);
    // The item's short or long text chunks joined in order; kNotFound when it has none.
    DbResult<TextRecord> LoadItemText(std::int32_t item_id, TextKind kind);
    // Ids of the views that list the feed, by label.
    DbResult<std::vector<std::int32_t>> ViewsOfFeed(std::int32_t feed_id);
    // Items of a feed (kUnread or kAll).
    DbResult<long> CountFeedItems(std::int32_t feed_id, ItemCount count);
    // Items of a view's listed feeds (ordinary views) or memberships (keyword views).
    DbResult<long> CountViewItems(std::int32_t view_id, ItemCount count);
    // The rows a view lists, in listing order (quotas, hiding, age limit, date sort applied).
    DbResult<std::vector<ItemRecord>> LoadViewItems(const ViewRecord& view, bool hide_read);

    // ---- Search and rebuilt views --------------------------------------------------------------------
    // Items whose fields hold the trimmed `term` (each item once, in field order), newest first with
    // `by_date`, else by feed. Quotes in the term are searched for like any other character. kRefused for
    // an empty term.
    DbResult<std::vector<SearchHit>> Search(const std::u16string& term, SearchFields fields, bool by_date);
    // View 1 holds the 50 newest items of all feeds afterwards.
    DbStatus RebuildWhatsNew();
    // A keyword view's memberships become the items its keywords find. kRefused for view 1 and for views
    // without keywords.
    DbStatus RebuildKeywordView(std::int32_t view_id, SearchFields fields);

    // ---- Maintenance ---------------------------------------------------------------------------------
    // kRefused for the two built-in views (What's New and Search Results), which are never deleted.
    DbStatus DeleteView(std::int32_t view_id);
    DbStatus ClearViewMemberships(std::int32_t view_id);
    // Also deletes the feed's audio files and its folder named by id below the audio folder.
    DbStatus DeleteFeed(std::int32_t feed_id);
    // Status 2, no digest, dates reset to 1900-01-01, no items (and their audio files deleted).
    DbStatus ClearFeed(std::int32_t feed_id);
    // Also deletes the item's audio file when `current_audio` (an audio list loaded earlier; it is not
    // reloaded) names it.
    DbStatus DeleteItem(std::int32_t item_id, const std::vector<AudioRecord>& current_audio);
    DbStatus DeleteItemAudio(std::int32_t item_id, const std::vector<AudioRecord>& current_audio);
    // Deletes the subscription, its view (unless that is a built-in one) and its feeds (as DeleteFeed).
    DbStatus DeleteSubscription(std::int32_t subscription_id);
    // Every item goes, feeds reset (status 0 and 1 stay, others become 2), then the file is compacted
    // (whose result does not count).
    DbStatus DeleteAllItems();
    // The memberships become the given ids; an id the list repeats is stored once.
    DbStatus SetViewFeeds(std::int32_t view_id, const std::vector<std::int32_t>& feed_ids);
    DbStatus SetFeedViews(std::int32_t feed_id, const std::vector<std::int32_t>& view_ids);
    // With the Keep rule on the item's text rows.
    DbStatus SetItemStatus(std::int32_t item_id, std::int16_t status);
    DbStatus UpdateViewRecord(const ViewRecord& view);
    DbStatus UpdateFeedRecord(const FeedRecord& feed);
    DbStatus UpdateItemRecord(const ItemRecord& item);
    DbStatus SetFeedStatus(std::int32_t feed_id, std::int16_t status);
    // The subscription's feeds are deleted (as DeleteFeed) and the feeds of `document` (a parsed feed list)
    // added in their place.
    DbStatus ReplaceSubscriptionFeeds(std::int32_t subscription_id, const ParsedFeed& document);
    // CompactDatabase on this database (compaction.h).
    DbStatus Compact() { return CompactDatabase(*this); }

    // ---- Backup (backup.h) and inserts ---------------------------------------------------------------
    // ExportBackup to `file_path`.
    DbStatus Export(const std::u16string& file_path) { return ExportBackup(*this, file_path); }
    // ImportBackup from `file_path`: its notes on values and elements that did not fit.
    DbResult<std::vector<std::u16string>> Import(const std::u16string& file_path) {
        return ImportBackup(*this, file_path);
    }
    // Each insert takes the new row's id under the lock (TakeUnusedId, with the record's id as the wish;
    // leave it 0 for a number of the id source) and writes the ids it used back into the record.
    DbStatus AddView(ViewRecord& view);
    // The view id used (a new view named after the subscription, or 1).
    DbResult<std::int32_t> AddSubscription(SubscriptionRecord& subscription, SubscriptionView view);
    // Adds the feed and, when given (non-zero), its view and subscription memberships.
    DbStatus AddFeed(FeedRecord& feed, std::int32_t view_id, std::int32_t subscription_id);

  private:
    mutable std::mutex audio_folder_mutex_;
    std::u16string audio_folder_;
};

}  // namespace qf
