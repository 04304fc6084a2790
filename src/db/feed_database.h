// FeedDatabase: the one object through which all work on the shared database file goes. It opens the file
// and checks (and upgrades) its version, creates new files, serialises access with the other threads and
// processes through the named mutex "QuillfeedDBMutex", and runs every operation of the database code with
// the same pattern: ready, connected, locked, statements in one exception guard, lock released.
//
// Threads: any thread may call any operation. The lock is owned by the thread that took it, so a second
// thread waits on the mutex like another process does; keep_lock lets one thread hold it across many
// operations (the start-up sequence, a download run).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "db/records.h"
#include "shared/adoclass31.h"

namespace qf {

class FeedDocument;

// Results of FeedDatabase::Open.
enum OpenResult : int {
    kOpenFailed = 0,
    kOpenReady = 1,
    kOpenLockFailed = -1,
    kOpenUpgradeDeclined = -2,
};

enum class MissingMessage { kHide, kShowOnce };
enum class OverwritePrompt { kOverwriteSilently, kAsk };
enum class DefaultViews { kCreate, kSkip };
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

class FeedDatabase {
  public:
    // Creates (or opens) the named mutex without owning it.
    FeedDatabase();
    // Resets the object and closes the mutex handle.
    ~FeedDatabase();
    FeedDatabase(const FeedDatabase&) = delete;
    FeedDatabase& operator=(const FeedDatabase&) = delete;

    // ---- State and settings ------------------------------------------------------------------------
    // Take the mutex around each operation (setting Special/LockDatabase); initially true.
    void set_use_lock(bool use_lock) { use_lock_ = use_lock; }
    // Check that the file still exists before each operation (Special/VerifyDatabase); initially true.
    void set_verify_file(bool verify_file) { verify_file_ = verify_file; }
    // Let a version mismatch fail Open without asking; initially false.
    void set_suppress_upgrade_prompt(bool suppress) { suppress_upgrade_prompt_ = suppress; }
    // While set, EndAccess keeps the lock so that a group of operations runs under one lock.
    void set_keep_lock(bool keep_lock) { keep_lock_ = keep_lock; }
    // The folder below which audio files lie (one folder per feed title); deletions remove files there.
    void set_audio_folder(const std::u16string& folder);
    std::u16string audio_folder() const;
    // Tests: replaces the free-space probe that Create consults (FreeSpaceKb of the file's folder).
    void set_free_space_probe(std::function<double(const std::u16string& folder)> probe) {
        free_space_kb_ = std::move(probe);
    }

    bool ready() const { return ready_; }
    bool connected() const;
    // Whether the calling thread holds the lock.
    bool locked() const;
    std::u16string path() const;

    // ---- Opening, creating, access -------------------------------------------------------------------
    // Resets, connects to `path` and checks its version; a "1.0" file is upgraded after the user agrees
    // (message box, unless suppressed). kOpenReady, kOpenFailed, kOpenLockFailed, or kOpenUpgradeDeclined
    // when an upgrade is needed but was declined or suppressed.
    int Open(const std::u16string& path, MissingMessage missing_message);
    // Clears ready and connected, closes the connection and forgets the path.
    void Reset();
    // Opens the connection on the path unless connected; false when that fails.
    bool Connect();
    // If connected: releases the lock (when this thread holds it), closes and drops the connection.
    void Close();
    // Before every statement group: the file check and the lock (waiting at most 10 s). False when the
    // file is missing (with the "Missing Database" message at most once per Open) or the lock times out.
    // A thread that holds the lock already just goes deeper, so operations can run inside a larger one.
    bool BeginAccess();
    // After every statement group: comes back up one level, and at the outermost releases the lock
    // unless keep_lock is set.
    void EndAccess();
    // The stored VersionNumber; "" when not ready or the lock fails; "0" when reading throws.
    std::u16string Version();
    // Makes a new database file with the whole schema and VersionInfo row (and the two default views
    // unless skipped). Refuses (message "Create Error") with under 200 KB free; asks before replacing an
    // existing file when told to. False on any failure.
    bool Create(const std::u16string& path, OverwritePrompt overwrite, DefaultViews default_views);

    // Runs `body(connection)` as one database operation: fails with `failure` unless ready, connected
    // (connecting on demand) and locked; releases the lock afterwards. A CException thrown by the body
    // releases the lock and gives `failure`; statements already run stay run.
    template <typename Result, typename Body>
    Result Run(Result failure, Body&& body);

    // ---- Loads (record lists live here until the next load of the same kind) -----------------------
    std::optional<ViewRecord> LoadView(std::int32_t view_id);
    std::optional<FeedRecord> LoadFeed(std::int32_t feed_id);
    // With GUID, keywords and DateEntered.
    std::optional<ItemRecord> LoadItem(std::int32_t item_id);
    std::optional<SubscriptionRecord> LoadSubscription(std::int32_t subscription_id);
    // subscriptions(), ordered by title.
    bool LoadSubscriptions();
    // feeds() in download order (Priority desc, LastDownloadDate asc, Title): FeedID, Title, Status,
    // Priority, LastFeedDate and FeedUrl are filled.
    bool LoadFeedsForDownload();
    // items(): at most `max_count` items of the feed (status not 0), newest first.
    bool LoadItemsOfFeed(std::int32_t feed_id, int max_count);
    // audio_records() of FeedItemAudioData.Status `status` (1 downloaded, oldest first; 0 pending,
    // newest first), each with its feed's folder name.
    bool LoadAudio(std::int16_t status);
    // Ids of the feeds of a view (not deleted), by priority; each once for a keyword view. Empty when the
    // view is missing or the query fails.
    std::vector<std::int32_t> FeedIdsOfView(std::int32_t view_id);
    // The item's short or long text chunks joined in order; nullopt when it has none.
    std::optional<TextRecord> LoadItemText(std::int32_t item_id, TextKind kind);
    // Ids of the views that list the feed, by label.
    std::vector<std::int32_t> ViewsOfFeed(std::int32_t feed_id);
    // Items of a feed (kUnread or kAll); -1 on failure.
    long CountFeedItems(std::int32_t feed_id, ItemCount count);
    // Items of a view's listed feeds (ordinary views) or memberships (keyword views); -1 on failure.
    long CountViewItems(std::int32_t view_id, ItemCount count);
    // items(): the rows a view lists, in listing order (quotas, hiding, age limit, date sort applied).
    bool LoadViewItems(const ViewRecord& view, bool hide_read);

    // The lists of the last load of their kind; read them under the lock (or on the loading thread).
    const std::vector<FeedRecord>& feeds() const { return feeds_; }
    const std::vector<ItemRecord>& items() const { return items_; }
    const std::vector<SubscriptionRecord>& subscriptions() const { return subscriptions_; }
    const std::vector<AudioRecord>& audio_records() const { return audio_; }

    // ---- Search and rebuilt views --------------------------------------------------------------------
    // Items whose fields hold the trimmed `term` (each item once, in field order), newest first with
    // `by_date`, else by feed. False for an empty term or a failure.
    bool Search(const std::u16string& term, SearchFields fields, bool by_date, std::vector<SearchHit>& hits);
    // View 1 holds the 50 newest items of all feeds afterwards.
    bool RebuildWhatsNew();
    // A keyword view's memberships become the items its keywords find. False for view 1 and for views
    // without keywords.
    bool RebuildKeywordView(std::int32_t view_id, SearchFields fields);

    // ---- Maintenance ---------------------------------------------------------------------------------
    bool DeleteView(std::int32_t view_id);
    bool ClearViewMemberships(std::int32_t view_id);
    // Also deletes the feed's audio files and its folder named by id below the audio folder.
    bool DeleteFeed(std::int32_t feed_id);
    // Status 2, no digest, dates reset to 1900-01-01, no items (and their audio files deleted).
    bool ClearFeed(std::int32_t feed_id);
    // Also deletes the item's audio file when the current audio list names it.
    bool DeleteItem(std::int32_t item_id);
    bool DeleteItemAudio(std::int32_t item_id);
    bool DeleteSubscription(std::int32_t subscription_id);
    // Every item goes, feeds reset (status 1 stays, others become 2), then the file is compacted.
    bool DeleteAllItems();
    bool SetViewFeeds(std::int32_t view_id, const std::vector<std::int32_t>& feed_ids);
    bool SetFeedViews(std::int32_t feed_id, const std::vector<std::int32_t>& view_ids);
    // With the Keep rule on the item's text rows.
    bool SetItemStatus(std::int32_t item_id, std::int16_t status);
    bool UpdateViewRecord(const ViewRecord& view);
    bool UpdateFeedRecord(const FeedRecord& feed);
    bool UpdateItemRecord(const ItemRecord& item);
    bool SetFeedStatus(std::int32_t feed_id, std::int16_t status);
    // The subscription's feeds are deleted and the feeds of the parsed subscription document added in
    // their place. False when the document does not parse as a feed list.
    bool ReplaceSubscriptionFeeds(std::int32_t subscription_id, const std::u16string& document_path);
    // Rebuilds the file through a temporary copy beside it. The database stays closed afterwards and
    // reconnects on the next operation.
    bool Compact();

    // ---- Backup and inserts --------------------------------------------------------------------------
    bool Export(const std::u16string& file_path);
    bool Import(const std::u16string& file_path);
    bool AddView(const ViewRecord& view);
    // The view id used (a new view named after the subscription, or 1), or 0 on failure.
    std::int32_t AddSubscription(const SubscriptionRecord& subscription, SubscriptionView view);
    // Adds the feed and, when given (non-zero), its view and subscription memberships.
    bool AddFeed(const FeedRecord& feed, std::int32_t view_id, std::int32_t subscription_id);

  private:
    // The connection of an operation when it may start (ready, connected, locked); null otherwise.
    std::shared_ptr<AdoConnection> Acquire();
    std::shared_ptr<AdoConnection> connection() const;
    bool FileExists() const;
    // Puts back a database file that an interrupted compaction left only under its aside name.
    void RecoverInterruptedCompaction();
    bool UpgradeFromOneDotZero();
    int AskAndUpgrade(const std::u16string& version);
    bool CopyTable(const std::u16string& table, AdoConnection& source, AdoConnection& target);
    bool ReplaceWithCompacted(const std::u16string& temporary_path);
    void DeleteAudioFile(const AudioRecord& record);
    void DeleteAudioOfItem(std::int32_t item_id);
    bool ReloadAudioAndDelete(std::int32_t feed_id);
    void LoadAudioInto(AdoConnection& connection, std::int16_t status);
    std::vector<std::int32_t> FeedIdsOfSubscription(AdoConnection& connection, std::int32_t subscription_id);
    void AddFeedRows(AdoConnection& connection, const FeedRecord& feed, std::int32_t view_id,
                     std::int32_t subscription_id);
    void AddViewRow(AdoConnection& connection, const ViewRecord& view);
    void AddSubscriptionRow(AdoConnection& connection, const SubscriptionRecord& subscription,
                            std::int32_t view_id);

    HANDLE mutex_ = nullptr;
    std::atomic<bool> use_lock_{true};
    std::atomic<bool> verify_file_{true};
    std::atomic<bool> suppress_upgrade_prompt_{false};
    std::atomic<bool> keep_lock_{false};
    std::atomic<bool> ready_{false};
    std::atomic<bool> show_missing_message_{false};
    std::atomic<DWORD> lock_owner_{0};  // thread id of the holder, 0 when free
    int lock_depth_ = 0;                // nested BeginAccess calls of the holder; the holder's alone

    mutable std::mutex state_mutex_;  // guards the fields below
    std::shared_ptr<AdoConnection> connection_;
    std::u16string path_;
    std::u16string audio_folder_;

    std::function<double(const std::u16string&)> free_space_kb_;

    // Record lists: written by the lock holder only.
    std::vector<FeedRecord> feeds_;
    std::vector<ItemRecord> items_;
    std::vector<SubscriptionRecord> subscriptions_;
    std::vector<AudioRecord> audio_;
};

// Holds the database lock for its lifetime, so that several operations run as one and the record lists
// they load stay as loaded until it ends. One thread.
class DatabaseAccess {
  public:
    explicit DatabaseAccess(FeedDatabase& database) : database_(database), held_(database.BeginAccess()) {}
    ~DatabaseAccess() {
        if (held_) database_.EndAccess();
    }
    DatabaseAccess(const DatabaseAccess&) = delete;
    DatabaseAccess& operator=(const DatabaseAccess&) = delete;
    bool held() const { return held_; }

  private:
    FeedDatabase& database_;
    bool held_;
};

template <typename Result, typename Body>
Result FeedDatabase::Run(Result failure, Body&& body) {
    std::shared_ptr<AdoConnection> connection = Acquire();
    if (!connection) return failure;
    try {
        Result result = body(*connection);
        EndAccess();
        return result;
    } catch (const CException&) {
        EndAccess();
        return failure;
    }
}

}  // namespace qf
