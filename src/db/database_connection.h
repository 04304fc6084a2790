// DatabaseConnection: the connection to the shared database file and the lock that serialises its use
// with the other threads and processes (the named mutex "QuillfeedDBMutex"). It opens the file and checks
// (and upgrades) its version, creates new files, and runs each database operation with the same pattern:
// ready, locked, connected, statements in one exception guard, lock released. DatabaseLock is the one
// guard that holds the lock, and the one way to reach the open connection.
//
// Threads: any thread may call any operation. The lock is owned by the thread that took it, so a second
// thread waits on the mutex like another process does; a DatabaseLock lets one thread hold it across many
// operations (the start-up sequence, a download run).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>

#include "common/settings.h"
#include "db/db_result.h"
#include "shared/adoclass31.h"

namespace qf {

// Results of DatabaseConnection::Open, with the values the main application uses.
enum class OpenResult : int {
    kFailed = 0,
    kReady = 1,
    kLockFailed = -1,
    kUpgradeDeclined = -2,
};

enum class MissingMessage { kHide, kShowOnce };
enum class OverwritePrompt { kOverwriteSilently, kAsk, kRefuse };
enum class DefaultViews { kCreate, kSkip };

class DatabaseLock;

class DatabaseConnection {
  public:
    // Creates (or opens) the named mutex without owning it.
    DatabaseConnection();
    // Resets the object and closes the mutex handle.
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    // ---- Settings (any thread; they apply from the next operation) --------------------------------
    // Take the mutex around each operation (setting Special/LockDatabase); initially true.
    void set_use_lock(bool use_lock) { use_lock_ = use_lock; }
    // Check that the file still exists before each operation (Special/VerifyDatabase); initially true.
    void set_verify_file(bool verify_file) { verify_file_ = verify_file; }
    // Let a version mismatch fail Open without asking; initially false.
    void set_suppress_upgrade_prompt(bool suppress) { suppress_upgrade_prompt_ = suppress; }
    // How long an operation waits for the lock held elsewhere, and the engine for a file lock of another
    // connection (from the next connect on); initially kDatabaseLockTimeoutMs.
    void set_lock_timeout_ms(DWORD timeout_ms) { lock_timeout_ms_ = timeout_ms; }
    // Tests: replaces the free-space probe that Create consults (FreeSpaceKb of the file's folder).
    void set_free_space_probe(std::function<double(const std::u16string& folder)> probe) {
        free_space_kb_ = std::move(probe);
    }

    // Whether Open succeeded (until Reset).
    bool ready() const { return ready_; }
    // Whether a connection to the file is open.
    bool connected() const;
    // Whether the calling thread holds the lock.
    bool locked() const;
    // The file Open was given; empty after Reset or when Open could not connect.
    std::u16string path() const;

    // ---- Opening, creating, closing ----------------------------------------------------------------
    // Resets, connects to `path` and checks its version; a "1.0" file is upgraded after the user agrees
    // (message box, unless suppressed). kReady, kFailed, kLockFailed, or kUpgradeDeclined when an upgrade
    // is needed but was declined or suppressed. The lock is held throughout, the question included.
    OpenResult Open(const std::u16string& path, MissingMessage missing_message);
    // Clears ready and connected, closes the connection and forgets the path.
    void Reset();
    // If connected: releases the lock (when this thread holds it, at any depth), closes and drops the
    // connection. The release-database message's handler calls it; the next operation reconnects.
    void Close();
    // The stored VersionNumber; empty without its row, "0" when reading it throws.
    DbResult<std::u16string> Version();
    // Makes a new database file with the whole schema and VersionInfo row (and the two default views
    // unless skipped). First puts back a database that an interrupted compaction left aside for `path`.
    // Refuses (kRefused, message "Create Error") with under 200 KB free; an existing file is replaced,
    // replaced after asking, or left alone (kRefused) as `overwrite` says. Needs no Open.
    DbStatus Create(const std::u16string& path, OverwritePrompt overwrite, DefaultViews default_views);
    // When the database at `database_path` is missing and a compaction left it aside, moves it back; when
    // both exist, keeps the aside file under a name of its own so that no compaction ever deletes it.
    // Takes the lock (without the file check) unless this thread holds it; does nothing when it times out.
    void RecoverInterruptedCompaction(const std::u16string& database_path);

    // Runs `body(connection)` as one database operation under the lock (connecting on demand) and answers
    // its value as a DbResult (a DbStatus for a body without value; a body may answer a DbResult itself).
    // kNotReady before a successful Open. A CException thrown by the body gives kQueryFailed, others pass
    // on; statements already run stay run.
    template <typename Body>
    auto Run(Body&& body) -> typename AsDbResult<std::invoke_result_t<Body&, AdoConnection&>>::type;

  private:
    friend class DatabaseLock;
    enum class FileCheck { kVerify, kSkip };

    // Takes one level of the lock: the mutex (waiting at most the lock time-out) unless this thread holds
    // it, then, with kVerify, under it the file check (after putting back a file that an interrupted
    // compaction left aside), with the "Missing Database" message at most once per Open. Nothing when it
    // fails.
    std::optional<DbError> TakeLock(FileCheck check);
    // Gives back one level; at the outermost the mutex goes.
    void ReleaseLock();
    // Under the lock: the connection, opened on demand (never on a file that a compaction is replacing);
    // null when the file does not open.
    std::shared_ptr<AdoConnection> ConnectionUnderLock();
    // Drops the connection without touching the lock; false when there was none.
    bool DropConnection();
    std::shared_ptr<AdoConnection> connection() const;
    void ForgetPath();
    bool FileExists() const;
    OpenResult AskAndUpgrade(DatabaseLock& lock, const std::u16string& version);

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

    std::function<double(const std::u16string&)> free_space_kb_;
};

// Holds one level of the database lock for its lifetime, so that several operations run as one (a
// listing build, the start-up load, a download run). A thread that holds the lock already just goes
// deeper. One thread: the lock belongs to the thread that took it.
class DatabaseLock {
  public:
    // Waits for the lock, then checks that the file is there.
    explicit DatabaseLock(DatabaseConnection& database)
        : DatabaseLock(database, DatabaseConnection::FileCheck::kVerify) {}
    ~DatabaseLock() {
        if (!error_) database_.ReleaseLock();
    }
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

    bool held() const { return !error_.has_value(); }
    explicit operator bool() const { return held(); }
    // kLockTimedOut or kFileMissing when not held.
    DbError error() const { return error_.value_or(DbError::kLockTimedOut); }

    // The database's connection, opened on demand; shared so that a Close on another thread leaves it
    // usable until the caller lets go. Null when the lock is not held or the file does not open.
    std::shared_ptr<AdoConnection> Connection();
    // Drops the database's connection while keeping the lock; the file closes once no holder of the
    // connection remains, and the next Connection() opens it afresh.
    void Disconnect();

  private:
    friend class DatabaseConnection;
    DatabaseLock(DatabaseConnection& database, DatabaseConnection::FileCheck check)
        : database_(database), error_(database.TakeLock(check)) {}

    DatabaseConnection& database_;
    std::optional<DbError> error_;
};

template <typename Body>
auto DatabaseConnection::Run(Body&& body) ->
    typename AsDbResult<std::invoke_result_t<Body&, AdoConnection&>>::type {
    using Result = typename AsDbResult<std::invoke_result_t<Body&, AdoConnection&>>::type;
    if (!ready_) return Result(DbError::kNotReady);
    DatabaseLock lock(*this);
    if (!lock) return Result(lock.error());
    std::shared_ptr<AdoConnection> connection = lock.Connection();
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
