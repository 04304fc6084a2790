#include "shared/sqlite_database.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "shared/date_text.h"

namespace qf::ado_detail {

using sql::QuoteName;
namespace {

// A write-ahead log with NORMAL syncing: a commit costs no sync of its own (only checkpoints sync), so
// the row-at-a-time inserts of a feed update stay fast even where a sync takes tens of milliseconds, a
// killed process loses nothing it committed, and readers never block the one writer. The log and its
// index live beside the file only while connections are open; the last one to close folds the log back
// into the file and removes both.
constexpr const char* kConnectionSetup = "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;";

std::u16string FromUtf8(const char* text) { return text ? qf::Utf8ToWide(text) : std::u16string(); }

std::optional<std::u16string> CanonicalDate(std::u16string_view literal) {
    auto date = ParseDateText(literal);
    if (!date) return std::nullopt;
    return FormatDateText(*date);
}

}  // namespace

std::unique_ptr<SqliteDatabase> SqliteDatabase::Open(const std::filesystem::path& host_path, OpenMode mode,
                                                     int busy_timeout_ms, std::u16string& error) {
    std::error_code ignored;
    bool exists = std::filesystem::exists(host_path, ignored);
    if (mode == OpenMode::kExisting && !exists) {
        error = u"database file not found";
        return nullptr;
    }
    // An empty file holds nothing to lose (and is an empty database to SQLite): it may become the new one.
    if (mode == OpenMode::kCreateNew && exists && std::filesystem::file_size(host_path, ignored) != 0) {
        error = u"database file already exists";
        return nullptr;
    }
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (mode == OpenMode::kCreateNew) {
        flags |= SQLITE_OPEN_CREATE;
        // A log left beside the path by a process that died belongs to an earlier file of that name; SQLite
        // would replay it into the new one.
        for (const char* suffix : {"-wal", "-shm", "-journal"}) {
            std::filesystem::remove(host_path.string() + suffix, ignored);
        }
    }
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(host_path.c_str(), &db, flags, nullptr);
    std::unique_ptr<SqliteDatabase> database(new SqliteDatabase(db));
    if (rc != SQLITE_OK) {
        error = FromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    // Several processes share the file; the database mutex serialises them, and the busy wait covers work
    // done without it (the lock can be switched off in the settings).
    sqlite3_busy_timeout(db, busy_timeout_ms);
    // The first access reads the file header, so a file that is not a database fails here, not later.
    // A new file gets its header written at once, so that it exists as a database and not as 0 bytes.
    const char* first_access =
        mode == OpenMode::kCreateNew ? "PRAGMA user_version=0" : "PRAGMA schema_version";
    if (!database->Exec(kConnectionSetup) || !database->Exec(first_access)) {
        error = database->last_error();
        return nullptr;
    }
    return database;
}

bool IsInUse(const std::filesystem::path& host_path) {
    std::error_code ignored;
    return std::filesystem::exists(host_path.string() + "-wal", ignored);
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close_v2(db_); }

bool SqliteDatabase::Fail(int code) { return Fail(code, FromUtf8(sqlite3_errmsg(db_))); }

bool SqliteDatabase::Fail(int code, std::u16string message) {
    last_code_ = code;
    last_error_ = std::move(message);
    return false;
}

bool SqliteDatabase::Exec(const char* utf8_sql) {
    int rc = sqlite3_exec(db_, utf8_sql, nullptr, nullptr, nullptr);
    return rc == SQLITE_OK || Fail(rc);
}

StatementHandle SqliteDatabase::Prepare(std::u16string_view sql) {
    std::u16string text = sql::RewriteInsertDates(
        sql,
        [this](const std::u16string& table, const std::u16string& column) {
            return ColumnType(table, column);
        },
        CanonicalDate);
    sqlite3_stmt* raw = nullptr;
    const void* tail = nullptr;
    int rc =
        sqlite3_prepare16_v2(db_, text.data(), static_cast<int>(text.size() * sizeof(char16_t)), &raw, &tail);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK) {
        Fail(rc);
        return nullptr;
    }
    if (!statement) {
        Fail(SQLITE_MISUSE, u"empty statement");
        return nullptr;
    }
    // Only one statement runs per call: anything after it is refused rather than silently dropped.
    size_t used = (static_cast<const char16_t*>(tail) - text.data());
    if (!sql::IsBlank(std::u16string_view(text).substr(used))) {
        Fail(SQLITE_MISUSE, u"text after the end of the statement");
        return nullptr;
    }
    return statement;
}

bool SqliteDatabase::Run(std::u16string_view sql, long* affected) {
    sql::Statement kind = sql::Classify(sql);
    if (auto* move = std::get_if<sql::MoveColumn>(&kind)) return MoveColumn(*move);
    if (std::holds_alternative<sql::CreateDatabase>(kind)) {
        return Fail(SQLITE_MISUSE, u"CREATE DATABASE needs a connection without a database");
    }
    StatementHandle statement = Prepare(sql);
    if (!statement) return false;
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) return Fail(rc);
    if (affected) *affected = static_cast<long>(sqlite3_changes(db_));
    return true;
}

std::optional<std::u16string> SqliteDatabase::ColumnType(const std::u16string& table,
                                                         const std::u16string& column) {
    const char* declared = nullptr;
    int rc = sqlite3_table_column_metadata(db_, nullptr, qf::WideToUtf8(table).c_str(),
                                           qf::WideToUtf8(column).c_str(), &declared, nullptr, nullptr,
                                           nullptr, nullptr);
    if (rc != SQLITE_OK) return std::nullopt;
    return FromUtf8(declared);
}

// SQLite has no column reordering: the table is rebuilt in the new order inside one transaction, rows
// copied in row id order, and its indexes made again from their original statements.
bool SqliteDatabase::MoveColumn(const sql::MoveColumn& move) {
    std::u16string table;
    std::optional<std::vector<sql::ColumnDefinition>> columns;
    std::vector<std::u16string> index_sql;
    {
        StatementHandle info = Prepare(u"SELECT name,sql FROM sqlite_master WHERE type='table' AND name=" +
                                       sql::Quote(move.table) + u" COLLATE NOCASE");
        if (!info) return false;
        if (sqlite3_step(info.get()) != SQLITE_ROW)
            return Fail(SQLITE_ERROR, u"no such table: " + move.table);
        table = static_cast<const char16_t*>(sqlite3_column_text16(info.get(), 0));
        columns = sql::ColumnDefinitions(static_cast<const char16_t*>(sqlite3_column_text16(info.get(), 1)));
        if (!columns) return Fail(SQLITE_ERROR, u"cannot reorder the columns of " + table);
    }
    {
        StatementHandle info = Prepare(
            u"SELECT sql FROM sqlite_master WHERE type='index' AND sql IS NOT NULL "
            u"AND tbl_name=" +
            sql::Quote(table) + u" ORDER BY rowid");
        if (!info) return false;
        while (sqlite3_step(info.get()) == SQLITE_ROW) {
            index_sql.emplace_back(static_cast<const char16_t*>(sqlite3_column_text16(info.get(), 0)));
        }
    }
    auto find = [&](const std::u16string& name) {
        for (size_t i = 0; i < columns->size(); ++i) {
            if (lstrcmpiW((*columns)[i].name.c_str(), name.c_str()) == 0) return static_cast<long>(i);
        }
        return -1L;
    };
    long from = find(move.column);
    if (from < 0 || find(move.before) < 0) return Fail(SQLITE_ERROR, u"no such column");
    sql::ColumnDefinition moved = (*columns)[from];
    columns->erase(columns->begin() + from);
    columns->insert(columns->begin() + find(move.before), moved);

    // The new statement keeps the style of the schema's own: "CREATE TABLE Feeds(FeedID int,...)".
    std::string names, definition;
    for (const sql::ColumnDefinition& column : *columns) {
        if (!names.empty()) {
            names += ",";
            definition += ",";
        }
        names += QuoteName(column.name);
        definition += qf::WideToUtf8(column.text);
    }
    std::string aside = QuoteName(table + u"_qf_moving");
    if (!Exec("SAVEPOINT qf_move_column")) return false;
    bool ok = Exec(("ALTER TABLE " + QuoteName(table) + " RENAME TO " + aside).c_str()) &&
              Exec(("CREATE TABLE " + qf::WideToUtf8(table) + "(" + definition + ")").c_str()) &&
              Exec(("INSERT INTO " + QuoteName(table) + "(" + names + ") SELECT " + names + " FROM " + aside +
                    " ORDER BY rowid")
                       .c_str()) &&
              Exec(("DROP TABLE " + aside).c_str());
    for (size_t i = 0; ok && i < index_sql.size(); ++i) ok = Exec(qf::WideToUtf8(index_sql[i]).c_str());
    if (!ok) {
        std::u16string error = last_error_;
        int code = last_code_;
        sqlite3_exec(db_, "ROLLBACK TO qf_move_column; RELEASE qf_move_column", nullptr, nullptr, nullptr);
        return Fail(code, error);
    }
    return Exec("RELEASE qf_move_column");
}

}  // namespace qf::ado_detail
