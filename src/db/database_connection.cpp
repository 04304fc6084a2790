#include "db/database_connection.h"

#include "common/system_info.h"
#include "db/compaction.h"

namespace qf {
namespace {

constexpr char16_t kMutexName[] = u"QuillfeedDBMutex";

}  // namespace

DatabaseConnection::DatabaseConnection()
    : mutex_(CreateMutexW(nullptr, FALSE, kMutexName)), free_space_kb_(FreeSpaceKb) {}

DatabaseConnection::~DatabaseConnection() {
    Reset();
    if (mutex_) CloseHandle(mutex_);
}

bool DatabaseConnection::connected() const { return connection() != nullptr; }

bool DatabaseConnection::locked() const { return lock_owner_ == GetCurrentThreadId(); }

std::u16string DatabaseConnection::path() const {
    std::lock_guard lock(state_mutex_);
    return path_;
}

std::shared_ptr<AdoConnection> DatabaseConnection::connection() const {
    std::lock_guard lock(state_mutex_);
    return connection_;
}

void DatabaseConnection::ForgetPath() {
    std::lock_guard lock(state_mutex_);
    path_.clear();
}

void DatabaseConnection::Reset() {
    ready_ = false;
    Close();
    ForgetPath();
}

bool DatabaseConnection::DropConnection() {
    std::shared_ptr<AdoConnection> closing;
    {
        std::lock_guard lock(state_mutex_);
        closing = std::move(connection_);
    }
    return closing != nullptr;
}

void DatabaseConnection::Close() {
    if (!DropConnection()) return;
    if (locked()) {
        lock_depth_ = 0;
        lock_owner_ = 0;
        if (use_lock_ && mutex_) ReleaseMutex(mutex_);
    }
}

bool DatabaseConnection::FileExists() const {
    return GetFileAttributesW(path().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<DbError> DatabaseConnection::TakeLock(FileCheck check) {
    if (locked()) {
        ++lock_depth_;
        return std::nullopt;
    }
    if (use_lock_ && mutex_) {
        DWORD wait = WaitForSingleObject(mutex_, lock_timeout_ms_);
        // A holder that died leaves the mutex abandoned, and then it is ours.
        if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return DbError::kLockTimedOut;
    }
    lock_owner_ = GetCurrentThreadId();
    lock_depth_ = 1;
    if (check == FileCheck::kSkip) return std::nullopt;
    // Under the lock, so that neither a compaction between its two renames nor its remains look like a
    // missing file.
    if (!FileExists()) PutBackAsideDatabase(path());
    if (verify_file_ && !FileExists()) {
        ReleaseLock();
        if (show_missing_message_.exchange(false)) {
            std::u16string text =
                u"The database is no longer connected to..." + path() + u"\n\nPlease, Re-open the database.";
            MessageBoxW(nullptr, text.c_str(), u"Missing Database", MB_OK);
        }
        return DbError::kFileMissing;
    }
    return std::nullopt;
}

void DatabaseConnection::ReleaseLock() {
    if (!locked()) return;
    if (lock_depth_ > 0) --lock_depth_;
    if (lock_depth_ > 0) return;
    // The owner is cleared first: the next holder sets it the moment the mutex is free.
    lock_owner_ = 0;
    if (use_lock_ && mutex_) ReleaseMutex(mutex_);
}

std::shared_ptr<AdoConnection> DatabaseConnection::ConnectionUnderLock() {
    std::shared_ptr<AdoConnection> current = connection();
    if (current) return current;
    // An operation already running on another thread keeps the old connection alive until it ends.
    auto fresh = std::make_shared<AdoConnection>(AdoConnection::EngineObject::kCreate);
    fresh->set_busy_timeout_ms(lock_timeout_ms_);
    bool opened = false;
    try {
        opened = fresh->Open(path(), u"", u"", -1) == 0;
    } catch (const CException&) {
        opened = false;
    }
    if (!opened) return nullptr;
    std::lock_guard lock(state_mutex_);
    connection_ = fresh;
    return fresh;
}

void DatabaseConnection::RecoverInterruptedCompaction(const std::u16string& database_path) {
    if (!HasAsideDatabase(database_path)) return;
    DatabaseLock lock(*this, FileCheck::kSkip);
    if (lock) PutBackAsideDatabase(database_path);
}

std::shared_ptr<AdoConnection> DatabaseLock::Connection() {
    return held() ? database_.ConnectionUnderLock() : nullptr;
}

void DatabaseLock::Disconnect() {
    if (held()) database_.DropConnection();
}

}  // namespace qf
