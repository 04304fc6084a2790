// FeedDatabase: the one object through which all work on the shared database file goes. It opens the file
// and checks (and upgrades) its version, creates new files, serialises access with the other threads and
// processes through the named mutex "QuillfeedDBMutex", and runs every operation of the database code with
// the same pattern: ready, locked, connected, statements in one exception guard, lock released. Every
// operation answers a DbResult; none keeps what it read.
//
// Threads: any thread may call any operation. The lock is owned by the thread that took it, so a second
// thread waits on the mutex like another process does; a DatabaseLock lets one thread hold it across many
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
#include <type_traits>
#include <vector>

#include "db/db_result.h"
#include "db/records.h"
#include "shared/adoclass31.h"

namespace qf {

class FeedDocument;
struct ParsedFeed;

// How long a database operation waits for the lock unless set_lock_timeout_ms says otherwise.
inline constexpr DWORD kDatabaseLockTimeoutMs = 10000;

// Results of FeedDatabase::Open, with the values the main application uses.
enum class OpenResult : int {
    kFailed = 0,
    kReady = 1,
    kLockFailed = -1,
    kUpgradeDeclined = -2,
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

class DatabaseLock;

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
    // The folder below which audio files lie (one folder per feed title); deletions remove files there.
    void set_audio_folder(const std::u16string& folder);
    std::u16string audio_folder() const;
    // How long an operation waits for the lock held elsewhere; initially 10 s.
    void set_lock_timeout_ms(DWORD timeout_ms) { lock_timeout_ms_ = timeout_ms; }
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
    // (message box, unless suppressed). kReady, kFailed, kLockFailed, or kUpgradeDeclined
    // when an upgrade is needed but was declined or suppressed.
    OpenResult Open(const std::u16string& path, MissingMessage missing_message);
    // Clears ready and connected, closes the connection and forgets the path.
    void Reset();
    // If connected: releases the lock (when this thread holds it), closes and drops the connection.
    void Close();
    // The stored VersionNumber; "0" when reading it throws.
    DbResult<std::u16string> Version();
    // Makes a new database file with the whole schema and VersionInfo row (and the two default views
    // unless skipped). First puts back a database that an interrupted compaction left aside for `path`.
    // Refuses (kRefused, message "Create Error") with under 200 KB free; an existing file is replaced,
    // replaced after asking, or left alone (kRefused) as `overwrite` says.
    DbStatus Create(const std::u16string& path, OverwritePrompt overwrite, DefaultViews default_views);
    // Any thread. When the database at `database_path` is missing and a compaction left it aside, moves it
    // back; when both exist, keeps the aside file under a name of its own so that no compaction ever
    // deletes it. Takes the lock unless this thread holds it (does nothing when the lock times out).
    void RecoverInterruptedCompaction(const std::u16string& database_path);

    // Runs `body(connection)` as one database operation under the lock (connecting on demand) and answers
    // its value as a DbResult (a DbStatus for a body without value; a body may answer a DbResult itself).
    // A CException thrown by the body gives kQueryFailed, others pass on; statements already run stay
    // run.
    template <typename Body>
    auto Run(Body&& body) -> typename AsDbResult<std::invoke_result_t<Body&, AdoConnection&>>::type;

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
    // Rebuilds the file through a temporary copy beside it. The database stays closed afterwards and
    // reconnects on the next operation.
    DbStatus Compact();

    // ---- Backup and inserts --------------------------------------------------------------------------
    DbStatus Export(const std::u16string& file_path);
    // Adds what the backup file holds with new ids and answers the notes on what did not fit: values that
    // do not fit their columns are clamped, and elements whose ids do not fit are skipped, one line each.
    // kRefused when the file is not a version 2.0 backup.
    DbResult<std::vector<std::u16string>> Import(const std::u16string& file_path);
    // Each insert takes the new row's id under the lock (TakeUnusedId, with the record's id as the wish;
    // leave it 0 for a number of the id source) and writes the ids it used back into the record.
    DbStatus AddView(ViewRecord& view);
    // The view id used (a new view named after the subscription, or 1).
    DbResult<std::int32_t> AddSubscription(SubscriptionRecord& subscription, SubscriptionView view);
    // Adds the feed and, when given (non-zero), its view and subscription memberships.
    DbStatus AddFeed(FeedRecord& feed, std::int32_t view_id, std::int32_t subscription_id);

  private:
    friend class DatabaseLock;
    enum class FileCheck { kVerify, kSkip };

    // Takes one level of the lock: the mutex (waiting at most 10 s) unless this thread holds it, then,
    // with kVerify, under it the file check (after putting back a file that an interrupted compaction left
    // aside), with the "Missing Database" message at most once per Open. Nothing when it fails.
    std::optional<DbError> TakeLock(FileCheck check);
    // Gives back one level; at the outermost the mutex goes.
    void ReleaseLock();
    // Under the lock: the connection, opened on demand; null when the file does not open.
    std::shared_ptr<AdoConnection> ConnectionUnderLock();
    // Opens a new connection on the path in place of any earlier one; false when that fails. Called
    // holding the lock, so that it never opens a file that a compaction is replacing.
    bool Connect();
    // Drops the connection without touching the lock; false when there was none.
    bool DropConnection();
    std::shared_ptr<AdoConnection> connection() const;
    void ForgetPath();
    bool FileExists() const;
    bool UpgradeFromOneDotZero();
    OpenResult AskAndUpgrade(const std::u16string& version);
    bool CopyInto(const std::u16string& temporary_path);
    bool ReplaceWithCompacted(const std::u16string& temporary_path);

    HANDLE mutex_ = nullptr;
    std::atomic<bool> use_lock_{true};
    std::atomic<bool> verify_file_{true};
    std::atomic<bool> suppress_upgrade_prompt_{false};
    std::atomic<bool> ready_{false};
    std::atomic<DWORD> lock_timeout_ms_{kDatabaseLockTimeoutMs};
    std::atomic<bool> show_missing_message_{false};
    std::atomic<DWORD> lock_owner_{0};  // thread id of the holder, 0 when free
    int lock_depth_ = 0;                // nested levels of the holder; the holder's alone

    mutable std::mutex state_mutex_;  // guards the fields below
    std::shared_ptr<AdoConnection> connection_;
    std::u16string path_;
    std::u16string audio_folder_;

    std::function<double(const std::u16string&)> free_space_kb_;
};

// Holds one level of the database lock for its lifetime, so that several operations run as one (a
// listing build, the start-up load, a download run). A thread that holds the lock already just goes
// deeper. One thread: the lock belongs to the thread that took it.
class DatabaseLock {
  public:
    explicit DatabaseLock(FeedDatabase& database)
        : DatabaseLock(database, FeedDatabase::FileCheck::kVerify) {}
    ~DatabaseLock() {
        if (!error_) database_.ReleaseLock();
    }
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    bool held() const { return !error_.has_value(); }
    explicit operator bool() const { return held(); }
    // kLockTimedOut or kFileMissing when not held.
    DbError error() const { return error_.value_or(DbError::kLockTimedOut); }

  private:
    friend class FeedDatabase;
    DatabaseLock(FeedDatabase& database, FeedDatabase::FileCheck check)
        : database_(database), error_(database.TakeLock(check)) {}

    FeedDatabase& database_;
    std::optional<DbError> error_;
};

template <typename Body>
auto FeedDatabase::Run(Body&& body) ->
    typename AsDbResult<std::invoke_result_t<Body&, AdoConnection&>>::type {
    using Result = typename AsDbResult<std::invoke_result_t<Body&, AdoConnection&>>::type;
    if (!ready_) return Result(DbError::kNotReady);
    DatabaseLock lock(*this);
    if (!lock) return Result(lock.error());
    std::shared_ptr<AdoConnection> connection = ConnectionUnderLock();
    if (!connection) return Result(DbError::kConnectFailed);
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Body&, AdoConnection&>>) {
            body(*connection);
            return Result();
        } else {
            return Result(body(*connection));
        }
    } catch (const CException&) {
        return Result(DbError::kQueryFailed);
    }
}

}  // namespace qf
