#include "system/registry_hive.h"

#include <pthread.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>

#include "qfdevice/device.h"
#include "system/calendar.h"
#include "system/case_fold.h"
#include "win/base.h"
#include "win/strings.h"

namespace fs = std::filesystem;

namespace qf::device {
namespace {

// Long enough for another process's write (a few milliseconds) and for a burst of them.
constexpr int kBusyTimeoutMs = 10'000;
constexpr int kSchemaVersion = 1;

constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,  -- never reused, so a handle to a deleted key stays dead
    parent INTEGER,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    last_write INTEGER NOT NULL DEFAULT 0);
CREATE UNIQUE INDEX keys_by_parent ON keys(parent, folded);
CREATE TABLE key_values(
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(key, folded)) WITHOUT ROWID;
INSERT INTO keys(id, parent, name, folded) VALUES
    (1, NULL, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),
    (2, NULL, 'HKEY_CURRENT_USER', 'hkey_current_user'),
    (3, NULL, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');
)sql";

std::atomic<std::uint64_t> committed_writes{0};

bool IsRoot(KeyId key) { return key >= kClassesRootId && key <= kLocalMachineId; }

// What tells one state of a file from another: its identity and its last change.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    std::int64_t modified_ns = -1;
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size,
                     info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec};
}

// The process's one connection to the hive in use. SQLite's file locks are POSIX locks, which belong
// to a process rather than to a connection: a second connection to the hive in this process, or one
// carried into a forked child, could give up locks that another relies on, and a writer of another
// process could then rebuild the shared log index under it. So a process keeps at most one connection,
// used by one session at a time, closed before a fork and at exit.
class ProcessConnection {
  public:
    static ProcessConnection& Get() {
        // Never destroyed: threads may still make registry calls while the process exits.
        static ProcessConnection* const connection = [] {
            auto* created = new ProcessConnection();
            pthread_atfork(&PrepareFork, &AfterFork, &AfterFork);
            std::atexit(&AtExit);
            return created;
        }();
        return *connection;
    }

    std::mutex& mutex() { return mutex_; }

    // Under mutex(). The connection to `file`, opened with `flags` unless the one kept is to that file
    // as the last session left it; `opened` says whether it is new. Null when the file cannot be opened.
    sqlite3* Acquire(const fs::path& file, int flags, bool& opened) {
        opened = false;
        if (db_ != nullptr && (file != file_ || StampOf(file) != stamp_)) Close();
        if (db_ != nullptr) return db_;
        if (sqlite3_open_v2(file.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            sqlite3_close_v2(db_);
            db_ = nullptr;
            return nullptr;
        }
        file_ = file;
        opened = true;
        return db_;
    }

    // Under mutex(), after a session that succeeded: the file as it left it.
    void Keep() { stamp_ = StampOf(file_); }

    // Under mutex(). The last connection of all processes to close folds the write-ahead log back into
    // the file and deletes it, by name. That is right only for the file this connection has open and
    // has seen last: a file that was replaced, or changed by someone else, keeps its log.
    void Close() {
        if (db_ == nullptr) return;
        if (StampOf(file_) != stamp_) sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        stamp_.reset();
    }

  private:
    ProcessConnection() = default;

    static void PrepareFork() {
        Get().mutex_.lock();
        Get().Close();
    }
    static void AfterFork() { Get().mutex_.unlock(); }
    static void AtExit() {
        std::lock_guard lock(Get().mutex_);
        Get().Close();
    }

    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    fs::path file_;
    std::optional<FileStamp> stamp_;
};

std::int64_t NowFileTimeTicks() { return FileTimeTicksFromUnixMs(NowUtcMs()); }

}  // namespace

// A prepared statement whose parameters are bound in order; any failure marks the session failed.
class HiveSession::Statement {
  public:
    Statement(HiveSession& session, const char* sql) : session_(session) {
        if (session.db_ == nullptr || session.status_ != ERROR_SUCCESS) return;
        if (sqlite3_prepare_v2(session.db_, sql, -1, &statement_, nullptr) != SQLITE_OK) {
            session.Fail(session.failure_status_);
        }
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(std::int64_t number) {
        if (statement_ != nullptr) Check(sqlite3_bind_int64(statement_, next_parameter_++, number));
        return *this;
    }
    // Binds a name as stored (UTF-8) and its folded form for matching.
    Statement& BindName(std::u16string_view name) {
        BindText(qf::WideToUtf8(name));
        return BindText(qf::WideToUtf8(FoldCase(name)));
    }
    Statement& BindFolded(std::u16string_view name) { return BindText(qf::WideToUtf8(FoldCase(name))); }
    Statement& BindBlob(const BYTE* data, DWORD size) {
        static const BYTE kEmpty = 0;  // a null pointer would bind NULL instead of an empty blob
        if (statement_ != nullptr) {
            Check(sqlite3_bind_blob(statement_, next_parameter_++, size > 0 ? data : &kEmpty,
                                    static_cast<int>(size), SQLITE_TRANSIENT));
        }
        return *this;
    }

    // Runs to the next row: true when there is one.
    bool Step() {
        if (statement_ == nullptr || session_.status_ != ERROR_SUCCESS) return false;
        int result = sqlite3_step(statement_);
        if (result == SQLITE_ROW) return true;
        if (result != SQLITE_DONE) session_.Fail(session_.failure_status_);
        return false;
    }

    std::int64_t Int(int column) { return sqlite3_column_int64(statement_, column); }
    std::u16string Text(int column) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        if (text == nullptr) return {};
        return qf::Utf8ToWide(std::string_view(text, sqlite3_column_bytes(statement_, column)));
    }
    std::vector<BYTE> Blob(int column) {
        const auto* data = static_cast<const BYTE*>(sqlite3_column_blob(statement_, column));
        return data != nullptr ? std::vector<BYTE>(data, data + sqlite3_column_bytes(statement_, column))
                               : std::vector<BYTE>();
    }

  private:
    Statement& BindText(const std::string& text) {
        if (statement_ != nullptr) {
            Check(sqlite3_bind_text(statement_, next_parameter_++, text.data(), static_cast<int>(text.size()),
                                    SQLITE_TRANSIENT));
        }
        return *this;
    }
    void Check(int result) {
        if (result != SQLITE_OK) session_.Fail(session_.failure_status_);
    }

    HiveSession& session_;
    sqlite3_stmt* statement_ = nullptr;
    int next_parameter_ = 1;
};

HiveSession::HiveSession(const fs::path& file, Access access)
    : turn_(ProcessConnection::Get().mutex()),
      failure_status_(access == Access::kRead ? ERROR_CANTREAD : ERROR_CANTWRITE),
      writes_(access != Access::kRead) {
    if (!Open(file, access) || db_ == nullptr) return;
    if (access == Access::kRead) {
        StartRead();
    } else {
        EnsureSchema();
    }
}

HiveSession::~HiveSession() {
    if (in_transaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    // A failed session may have met a damaged or replaced file: the next one starts afresh.
    if (status_ != ERROR_SUCCESS) {
        ProcessConnection::Get().Close();
    } else if (db_ != nullptr) {
        ProcessConnection::Get().Keep();
    }
}

bool HiveSession::Open(const fs::path& file, Access access) {
    std::error_code error;
    bool exists = fs::exists(file, error);
    if (!exists) {
        if (access == Access::kRead) return true;  // reads as empty; nothing is created
        if (access == Access::kWrite) {
            Fail(ERROR_FILE_NOT_FOUND);
            return false;
        }
        fs::create_directories(file.parent_path(), error);
    }
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (exists ? 0 : SQLITE_OPEN_CREATE);
    bool opened = false;
    db_ = ProcessConnection::Get().Acquire(file, flags, opened);
    if (db_ == nullptr) {
        Fail(ERROR_CANTOPEN);
        return false;
    }
    if (!opened) return true;
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // Without syncs a change is still all-or-nothing for every process, even one that is killed
    // mid-write; only a crash of the host system could lose it. Syncing would make each write cost
    // milliseconds to tens of milliseconds, and every registry call is a write or read of its own.
    return Exec("PRAGMA synchronous=OFF");
}

std::int64_t HiveSession::UserVersion() {
    Statement statement(*this, "PRAGMA user_version");
    return statement.Step() ? statement.Int(0) : -1;
}

void HiveSession::StartRead() {
    in_transaction_ = Exec("BEGIN");
    if (UserVersion() != 0) return;
    // A hive whose schema is still being written by another process reads as empty.
    Exec("ROLLBACK");
    in_transaction_ = false;
    db_ = nullptr;
}

void HiveSession::EnsureSchema() {
    // WAL lets readers go on while one process writes; the mode stays with the file.
    if (UserVersion() == 0 && !Exec("PRAGMA journal_mode=WAL")) return;
    if (!Exec("BEGIN IMMEDIATE")) return;
    in_transaction_ = true;
    // Checked again inside the transaction: another process may have created the schema meanwhile.
    std::int64_t version = UserVersion();
    if (version == 0) {
        if (Exec(kSchema)) Exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    } else if (version != kSchemaVersion) {
        Fail(ERROR_CANTOPEN);
    }
}

bool HiveSession::Exec(const char* sql) {
    if (db_ == nullptr || status_ != ERROR_SUCCESS) return false;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
    Fail(failure_status_);
    return false;
}

void HiveSession::Fail(LONG status) {
    if (status_ == ERROR_SUCCESS) status_ = status;
}

bool HiveSession::KeyExists(KeyId key) {
    if (db_ == nullptr) return status_ == ERROR_SUCCESS && IsRoot(key);
    Statement statement(*this, "SELECT 1 FROM keys WHERE id = ?");
    return statement.Bind(key).Step();
}

std::optional<KeyId> HiveSession::FindChild(KeyId parent, std::u16string_view name) {
    Statement statement(*this, "SELECT id FROM keys WHERE parent = ? AND folded = ?");
    if (!statement.Bind(parent).BindFolded(name).Step()) return std::nullopt;
    return statement.Int(0);
}

std::optional<KeyId> HiveSession::CreateChild(KeyId parent, std::u16string_view name) {
    Statement statement(*this, "INSERT INTO keys(parent, name, folded, last_write) VALUES (?, ?, ?, ?)");
    statement.Bind(parent).BindName(name).Bind(NowFileTimeTicks()).Step();
    if (db_ == nullptr || status_ != ERROR_SUCCESS) return std::nullopt;
    return sqlite3_last_insert_rowid(db_);
}

void HiveSession::DeleteTree(KeyId key) {
    constexpr const char* kTree =
        "WITH RECURSIVE tree(id) AS (SELECT ? UNION ALL SELECT keys.id FROM keys JOIN tree ON keys.parent = "
        "tree.id) ";
    Statement values(*this, (std::string(kTree) + "DELETE FROM key_values WHERE key IN tree").c_str());
    values.Bind(key).Step();
    Statement keys(*this, (std::string(kTree) + "DELETE FROM keys WHERE id IN tree").c_str());
    keys.Bind(key).Step();
}

std::optional<ChildKey> HiveSession::ChildAt(KeyId parent, DWORD index) {
    Statement statement(
        *this, "SELECT name, last_write FROM keys WHERE parent = ? ORDER BY folded LIMIT 1 OFFSET ?");
    if (!statement.Bind(parent).Bind(index).Step()) return std::nullopt;
    return ChildKey{statement.Text(0), statement.Int(1)};
}

std::optional<RegistryValue> HiveSession::GetValue(KeyId key, std::u16string_view name) {
    Statement statement(*this, "SELECT name, type, data FROM key_values WHERE key = ? AND folded = ?");
    if (!statement.Bind(key).BindFolded(name).Step()) return std::nullopt;
    return RegistryValue{statement.Text(0), static_cast<DWORD>(statement.Int(1)), statement.Blob(2)};
}

std::optional<RegistryValue> HiveSession::ValueAt(KeyId key, DWORD index) {
    Statement statement(
        *this, "SELECT name, type, data FROM key_values WHERE key = ? ORDER BY folded LIMIT 1 OFFSET ?");
    if (!statement.Bind(key).Bind(index).Step()) return std::nullopt;
    return RegistryValue{statement.Text(0), static_cast<DWORD>(statement.Int(1)), statement.Blob(2)};
}

void HiveSession::SetValue(KeyId key, std::u16string_view name, DWORD type, const BYTE* data, DWORD size) {
    // An existing value keeps the spelling of its name, as on the device.
    Statement statement(*this,
                        "INSERT INTO key_values(key, name, folded, type, data) VALUES (?, ?, ?, ?, ?) "
                        "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    statement.Bind(key).BindName(name).Bind(type).BindBlob(data, size).Step();
    TouchKey(key);
}

bool HiveSession::DeleteValue(KeyId key, std::u16string_view name) {
    Statement statement(*this, "DELETE FROM key_values WHERE key = ? AND folded = ?");
    statement.Bind(key).BindFolded(name).Step();
    if (db_ == nullptr || status_ != ERROR_SUCCESS || sqlite3_changes(db_) == 0) return false;
    TouchKey(key);
    return true;
}

void HiveSession::TouchKey(KeyId key) {
    Statement statement(*this, "UPDATE keys SET last_write = ? WHERE id = ?");
    statement.Bind(NowFileTimeTicks()).Bind(key).Step();
}

bool HiveSession::IsReadable(const fs::path& file) {
    std::error_code error;
    if (!fs::exists(file, error)) return !error;
    HiveSession session(file, Access::kRead);
    if (session.status() != ERROR_SUCCESS) return false;
    // A hive whose schema is still being written reads as empty, and that is fine.
    if (session.db_ == nullptr) return true;
    std::int64_t version = session.UserVersion();
    Statement check(session, "PRAGMA quick_check");
    return version == kSchemaVersion && check.Step() && check.Text(0) == u"ok" &&
           session.status() == ERROR_SUCCESS;
}

LONG HiveSession::Commit() {
    if (status_ == ERROR_SUCCESS && in_transaction_ && Exec("COMMIT")) {
        in_transaction_ = false;
        if (writes_) ++committed_writes;
    }
    return status_;
}

std::uint64_t HiveSession::CommittedWrites() { return committed_writes; }

}  // namespace qf::device
