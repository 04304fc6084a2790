// Compaction: the database is copied table by table into a new file beside it, which then takes its
// place. The old file is moved aside before the new one moves in, so that whichever step a crash
// interrupts, a complete database remains: at its path, or aside, from where the next connect puts it
// back.
#include "common/system_info.h"
#include "db/feed_database.h"
#include "db/schema.h"
#include "db/shell_effects.h"

namespace qf {
namespace {

constexpr DWORD kLockTimeoutMs = 10000;

std::u16string TemporaryPath(const std::u16string& database_path) {
    return FolderOf(database_path) + u"\\rss1029102Temp.qfdb";
}

std::u16string AsidePath(const std::u16string& database_path) {
    return FolderOf(database_path) + u"\\rss1029102Old.qfdb";
}

bool Exists(const std::u16string& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void FeedDatabase::RecoverInterruptedCompaction() {
    std::u16string database_path = path();
    std::u16string aside = AsidePath(database_path);
    if (database_path.empty() || Exists(database_path) || !Exists(aside)) return;
    bool take_mutex = use_lock_ && mutex_ && !locked();
    if (take_mutex) {
        DWORD wait = WaitForSingleObject(mutex_, kLockTimeoutMs);
        if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return;
    }
    if (!Exists(database_path)) MoveFileW(aside.c_str(), database_path.c_str());
    if (take_mutex) ReleaseMutex(mutex_);
}

bool FeedDatabase::CopyTable(const std::u16string& table, AdoConnection& source, AdoConnection& target) {
    try {
        AdoRecordset from;
        AdoRecordset to;
        std::u16string select = u"Select * From " + table;
        if (!from.Open(select, &source) || !to.Open(select, &target, adOpenDynamic, adLockPessimistic))
            return false;
        long fields = from.FieldCount();
        for (from.MoveFirst(); !from.IsEOF(); from.MoveNext()) {
            to.AddNew();
            for (long i = 0; i < fields; ++i) {
                Variant value = from.Field(i).Value();
                to.Field(i).SetValue(value);
            }
            to.Update();
        }
        return true;
    } catch (const CException&) {
        return false;
    }
}

bool FeedDatabase::Compact() {
    std::u16string database_path = path();
    std::u16string temporary = TemporaryPath(database_path);
    if (!Create(temporary, OverwritePrompt::kOverwriteSilently, DefaultViews::kSkip)) return false;
    if (!ready_ || (!connected() && !Connect())) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    if (!BeginAccess()) return false;
    WaitCursor wait;
    bool copied = false;
    {
        std::shared_ptr<AdoConnection> source = connection();
        AdoConnection target(AdoConnection::EngineObject::kCreate);
        // Nobody else sees the new file yet, so one transaction costs nothing and saves a sync per row.
        copied = source && target.Open(temporary) == 0 && target.BeginTrans();
        for (size_t i = 0; copied && i < schema::kCopiedTables.size(); ++i) {
            copied = CopyTable(schema::kCopiedTables[i], *source, target);
        }
        copied = copied && target.CommitTrans();
    }
    if (!copied) {
        EndAccess();
        DeleteFileW(temporary.c_str());
        return false;
    }
    EndAccess();
    Close();
    SendReleaseDatabase();
    // A connection that did not let go would go on writing to the old file, or fold its log into the new one.
    if (IsDatabaseFileInUse(database_path)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return ReplaceWithCompacted(temporary);
}

// Runs under the lock again, so that no other process takes the aside file for a crash's remains while
// the files are being exchanged.
bool FeedDatabase::ReplaceWithCompacted(const std::u16string& temporary_path) {
    if (!BeginAccess()) return false;
    std::u16string database_path = path();
    std::u16string aside = AsidePath(database_path);
    DeleteFileW(aside.c_str());
    bool replaced = MoveFileW(database_path.c_str(), aside.c_str());
    if (replaced && !MoveFileW(temporary_path.c_str(), database_path.c_str())) {
        MoveFileW(aside.c_str(), database_path.c_str());
        replaced = false;
    }
    if (replaced) DeleteFileW(aside.c_str());
    EndAccess();
    return replaced;
}

}  // namespace qf
