// The engine behind the record layer: one SQLite connection on a database file, with the statement
// translation of sql_text.h applied to everything it runs. Internal to src/shared.
#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "shared/sql_text.h"

namespace qf::ado_detail {

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// One open database file. One thread at a time.
class SqliteDatabase {
  public:
    enum class OpenMode { kExisting, kCreateNew };

    // Opens the host file; kExisting refuses a missing file or one that is no SQLite database, kCreateNew
    // refuses an existing file that is not empty. A statement waits up to `busy_timeout_ms` for a file
    // lock of another connection. nullptr on failure, with the reason in `error`.
    static std::unique_ptr<SqliteDatabase> Open(const std::filesystem::path& host_path, OpenMode mode,
                                                int busy_timeout_ms, std::u16string& error);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Prepares the one statement of `sql` (dates of Insert statements made canonical). nullptr when it
    // does not prepare or anything but blanks and comments follows it; last_error() says why.
    StatementHandle Prepare(std::u16string_view sql);
    // Runs the one statement of `sql` (the dialect's ALTER TABLE ... MOVE included) to its end;
    // `affected` (may be null) receives the rows changed. False when it fails.
    bool Run(std::u16string_view sql, long* affected);
    // The declared type of a column of a table; nullopt when there is no such column.
    std::optional<std::u16string> ColumnType(const std::u16string& table, const std::u16string& column);

    const std::u16string& last_error() const { return last_error_; }
    int last_code() const { return last_code_; }
    sqlite3* handle() const { return db_; }

  private:
    explicit SqliteDatabase(sqlite3* db) : db_(db) {}
    bool Fail(int code);
    bool Fail(int code, std::u16string message);
    bool Exec(const char* utf8_sql);
    bool MoveColumn(const sql::MoveColumn& move);

    sqlite3* db_;
    std::u16string last_error_;
    int last_code_ = SQLITE_OK;
};

// Whether some connection still has the database at `host_path` open: its write-ahead log exists only
// while one does.
bool IsInUse(const std::filesystem::path& host_path);

}  // namespace qf::ado_detail
