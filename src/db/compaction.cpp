// Everything from the copy to the exchange runs under one hold of the lock, so that no write of another
// process can fall between the copy and the exchange and be lost with the old file.
#include "db/compaction.h"

#include "common/system_info.h"
#include "db/database_connection.h"
#include "db/row_readers.h"
#include "db/schema.h"
#include "db/shell_effects.h"

namespace qf {
namespace {

std::u16string TemporaryPath(const std::u16string& database_path) {
    return FolderOf(database_path) + u"\\rss1029102Temp.qfdb";
}

// Named after the database itself, so that two databases in one folder never take each other's.
std::u16string AsidePath(const std::u16string& database_path) { return database_path + u".qfaside"; }

bool Exists(const std::u16string& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Moves an aside file that cannot be put back (a database exists at the path as well) to the first free
// numbered name beside it.
void KeepAside(const std::u16string& aside) {
    for (int number = 1; number < 1000; ++number) {
        std::u16string kept = aside + u"-" + db_detail::Decimal(number);
        if (!Exists(kept)) {
            MoveFileW(aside.c_str(), kept.c_str());
            return;
        }
    }
}

bool CopyTable(const std::u16string& table, AdoConnection& source, AdoConnection& target) {
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

// Every table of `source` into a fresh file at `temporary_path`.
bool CopyInto(DatabaseConnection& database, AdoConnection& source, const std::u16string& temporary_path) {
    if (!database.Create(temporary_path, OverwritePrompt::kOverwriteSilently, DefaultViews::kSkip))
        return false;
    AdoConnection target(AdoConnection::EngineObject::kCreate);
    // Nobody else sees the new file yet, so one transaction costs nothing and saves a sync per row.
    bool copied = target.Open(temporary_path) == 0 && target.BeginTrans();
    for (size_t i = 0; copied && i < schema::kCopiedTables.size(); ++i) {
        copied = CopyTable(schema::kCopiedTables[i], source, target);
    }
    return copied && target.CommitTrans();
}

bool ReplaceWithCompacted(const std::u16string& database_path, const std::u16string& temporary_path) {
    std::u16string aside = AsidePath(database_path);
    if (Exists(aside)) KeepAside(aside);
    bool replaced = MoveFileW(database_path.c_str(), aside.c_str());
    if (replaced && !MoveFileW(temporary_path.c_str(), database_path.c_str())) {
        MoveFileW(aside.c_str(), database_path.c_str());
        replaced = false;
    }
    if (replaced) DeleteFileW(aside.c_str());
    return replaced;
}

}  // namespace

bool HasAsideDatabase(const std::u16string& database_path) {
    return !database_path.empty() && Exists(AsidePath(database_path));
}

void PutBackAsideDatabase(const std::u16string& database_path) {
    if (!HasAsideDatabase(database_path)) return;
    std::u16string aside = AsidePath(database_path);
    if (!Exists(database_path)) {
        MoveFileW(aside.c_str(), database_path.c_str());
    } else {
        KeepAside(aside);
    }
}

DbStatus CompactDatabase(DatabaseConnection& database) {
    if (!database.ready()) return DbError::kNotReady;
    // The item window lets go of the file before this process takes the lock that its handler might be
    // waiting for; a window that does not answer in time leaves its connection open, and then the
    // exchange below is refused.
    SendReleaseDatabase();
    DatabaseLock lock(database);
    if (!lock) return lock.error();
    std::shared_ptr<AdoConnection> source = lock.Connection();
    if (!source) return DbError::kConnectFailed;
    std::u16string database_path = database.path();
    std::u16string temporary = TemporaryPath(database_path);
    WaitCursor wait;
    bool copied = CopyInto(database, *source, temporary);
    source.reset();
    lock.Disconnect();
    // A connection still open elsewhere would go on writing to the old file, or fold its log into the new
    // one.
    if (!copied || IsDatabaseFileInUse(database_path)) {
        DeleteFileW(temporary.c_str());
        return DbError::kQueryFailed;
    }
    if (!ReplaceWithCompacted(database_path, temporary)) return DbError::kQueryFailed;
    return {};
}

}  // namespace qf
