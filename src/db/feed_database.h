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
struct ParsedFeed;

// How long a database operation waits for the lock unless set_lock_timeout_ms says otherwise.
inline constexpr DWORD kDatabaseLockTimeoutMs = 10000;

// Results of FeedDatabase::Open.
enum OpenResult : int {
    kOpenFailed = 0,
    kOpenReady = 1,
    kOpenLockFailed = -1,
    kOpenUpgradeDeclined = -2,
};

enum class MissingMessage { kHide, kShowOnce };
enum class OverwritePrompt { kOverwriteSilently, kAsk, kRefuse };
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
    // How long an operation waits for the lock before it fails; initially kDatabaseLockTimeoutMs.
    void set_lock_timeout_ms(DWORD timeout_ms) { lock_timeout_ms_ = timeout_ms; }
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
    // Opens a new connection on the path in place of any earlier one; false when that fails. Call it
    // holding the lock, so that it never opens a file that a compaction is replacing.
    bool Connect();
    // If connected: releases the lock (when this thread holds it), closes and drops the connection.
    void Close();
    // Before every statement group: the lock (waiting at most the lock time-out), then, under it, the file
    // check (after putting back a file that an interrupted compaction left aside). False when the lock times
    // out or the file is missing (with the "Missing Database" message at most once per Open). A thread that
    // holds the lock already just goes deeper, so operations can run inside a larger one.
    bool BeginAccess();
    // After every statement group: comes back up one level, and at the outermost releases the lock
    // unless keep_lock is set.
    void EndAccess();
    // The stored VersionNumber; "" when not ready or the lock fails; "0" when reading throws.
    std::u16string Version();
    // Makes a new database file with the whole schema and VersionInfo row (and the two default views
    // unless skipped). First puts back a database that an interrupted compaction left aside for `path`.
    // Refuses (message "Create Error") with under 200 KB free; an existing file is replaced, replaced
    // after asking, or left alone (false) as `overwrite` says. False on any failure.
    bool Create(const std::u16string& path, OverwritePrompt overwrite, DefaultViews default_views);
    // Any thread. When the database at `database_path` is missing and a compaction left it aside, moves it
    // back; when both exist, keeps the aside file under a name of its own so that no compaction ever
    // deletes it. Takes the lock unless this thread holds it (does nothing when the lock times out).
    void RecoverInterruptedCompaction(const std::u16string& database_path);

    // Runs `body(connection)` as one database operation: fails with `failure` unless ready, locked and
    // connected (connecting on demand); releases the lock afterwards, whatever the body throws. A
    // CException thrown by the body gives `failure`, others pass on; statements already run stay run.
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
    // Ids of the feeds of a view (not deleted), by priority, each once. Empty when the view is missing or
    // the query fails.
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
    // `by_date`, else by feed. Quotes in the term are searched for like any other character. False for an
    // empty term or a failure (a query that does not run is a failure, not an empty result).
    bool Search(const std::u16string& term, SearchFields fields, bool by_date, std::vector<SearchHit>& hits);
    // View 1 holds the 50 newest items of all feeds afterwards.
    bool RebuildWhatsNew();
    // A keyword view's memberships become the items its keywords find. False for view 1 and for views
    // without keywords.
    bool RebuildKeywordView(std::int32_t view_id, SearchFields fields);

    // ---- Maintenance ---------------------------------------------------------------------------------
    // False for the two built-in views (What's New and Search Results), which are never deleted.
    bool DeleteView(std::int32_t view_id);
    bool ClearViewMemberships(std::int32_t view_id);
    // Also deletes the feed's audio files and its folder named by id below the audio folder.
    bool DeleteFeed(std::int32_t feed_id);
    // Status 2, no digest, dates reset to 1900-01-01, no items (and their audio files deleted).
    bool ClearFeed(std::int32_t feed_id);
    // Also deletes the item's audio file when the current audio list names it.
    bool DeleteItem(std::int32_t item_id);
    bool DeleteItemAudio(std::int32_t item_id);
    // Deletes the subscription, its view (unless that is a built-in one) and its feeds.
    bool DeleteSubscription(std::int32_t subscription_id);
    // Every item goes, feeds reset (status 0 and 1 stay, others become 2), then the file is compacted.
    bool DeleteAllItems();
    // The memberships become the given ids; an id the list repeats is stored once.
    bool SetViewFeeds(std::int32_t view_id, const std::vector<std::int32_t>& feed_ids);
    bool SetFeedViews(std::int32_t feed_id, const std::vector<std::int32_t>& view_ids);
    // With the Keep rule on the item's text rows.
    bool SetItemStatus(std::int32_t item_id, std::int16_t status);
    bool UpdateViewRecord(const ViewRecord& view);
    bool UpdateFeedRecord(const FeedRecord& feed);
    bool UpdateItemRecord(const ItemRecord& item);
    bool SetFeedStatus(std::int32_t feed_id, std::int16_t status);
    // The subscription's feeds are deleted and the feeds of `document` (a parsed feed list) added in
    // their place.
    bool ReplaceSubscriptionFeeds(std::int32_t subscription_id, const ParsedFeed& document);
    // Rebuilds the file through a temporary copy beside it. The database stays closed afterwards and
    // reconnects on the next operation.
    bool Compact();

    // ---- Backup and inserts --------------------------------------------------------------------------
    bool Export(const std::u16string& file_path);
    // Adds what the backup file holds with new ids. Values that do not fit their columns are clamped, and
    // elements whose ids do not fit are skipped; each such case adds a line to `notes` when given.
    bool Import(const std::u16string& file_path, std::vector<std::u16string>* notes = nullptr);
    // Each insert takes the new row's id under the lock (TakeUnusedId, with the record's id as the wish;
    // leave it 0 for a number of the id source) and writes the ids it used back into the record.
    bool AddView(ViewRecord& view);
    // The view id used (a new view named after the subscription, or 1), or 0 on failure.
    std::int32_t AddSubscription(SubscriptionRecord& subscription, SubscriptionView view);
    // Adds the feed and, when given (non-zero), its view and subscription memberships.
    bool AddFeed(FeedRecord& feed, std::int32_t view_id, std::int32_t subscription_id);

  private:
    enum class Access { kTaken, kNoLock, kMissing };
    // Releases one level of the lock when it goes.
    class EndAccessOnExit {
      public:
        explicit EndAccessOnExit(FeedDatabase& database) : database_(database) {}
        ~EndAccessOnExit() { database_.EndAccess(); }
        EndAccessOnExit(const EndAccessOnExit&) = delete;
        EndAccessOnExit& operator=(const EndAccessOnExit&) = delete;

      private:
        FeedDatabase& database_;
    };

    // BeginAccess with the reason of a failure.
    Access TakeAccess();
    // The connection of an operation when it may start (ready, locked, connected); null otherwise.
    std::shared_ptr<AdoConnection> Acquire();
    // Drops the connection without touching the lock; false when there was none.
    bool DropConnection();
    std::shared_ptr<AdoConnection> connection() const;
    bool FileExists() const;
    bool UpgradeFromOneDotZero();
    int AskAndUpgrade(const std::u16string& version);
    bool CopyTable(const std::u16string& table, AdoConnection& source, AdoConnection& target);
    bool CopyInto(const std::u16string& temporary_path);
    bool ReplaceWithCompacted(const std::u16string& temporary_path);
    void DeleteAudioFile(const AudioRecord& record);
    void DeleteAudioOfItem(std::int32_t item_id);
    bool ReloadAudioAndDelete(std::int32_t feed_id);
    void LoadAudioInto(AdoConnection& connection, std::int16_t status);
    std::vector<std::int32_t> FeedIdsOfSubscription(AdoConnection& connection, std::int32_t subscription_id);
    void AddFeedRows(AdoConnection& connection, FeedRecord& feed, std::int32_t view_id,
                     std::int32_t subscription_id);
    void AddViewRow(AdoConnection& connection, ViewRecord& view);
    void AddSubscriptionRow(AdoConnection& connection, SubscriptionRecord& subscription,
                            std::int32_t view_id);

    HANDLE mutex_ = nullptr;
    std::atomic<bool> use_lock_{true};
    std::atomic<bool> verify_file_{true};
    std::atomic<bool> suppress_upgrade_prompt_{false};
    std::atomic<bool> keep_lock_{false};
    std::atomic<DWORD> lock_timeout_ms_{kDatabaseLockTimeoutMs};
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
    EndAccessOnExit end(*this);
    try {
        return body(*connection);
    } catch (const CException&) {
        return failure;
    }
}

}  // namespace qf
