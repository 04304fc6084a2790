// The row sources behind a recordset: a forward-only stream over a statement for reading, and a
// materialised, row-id-keyed set of rows for changing. Internal to src/shared.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shared/column_values.h"
#include "shared/sqlite_database.h"
#include "shared/variant.h"

namespace qf::ado_detail {

// Field indexes are those of the caller's select list. One thread at a time.
class Cursor {
  public:
    virtual ~Cursor() = default;
    virtual bool IsEOF() const = 0;
    virtual bool IsBOF() const = 0;
    virtual bool MoveFirst() = 0;
    virtual bool MoveNext() = 0;
    virtual bool MovePrevious() = 0;
    virtual bool MoveLast() = 0;
    // -1 when it cannot be told.
    virtual long RecordCount() = 0;
    virtual long FieldCount() const = 0;
    // nullopt for an index out of range.
    virtual std::optional<std::u16string> FieldName(long index) const = 0;
    // The value of the current row; nullopt when there is no current row or the index is out of range.
    virtual std::optional<Variant> Value(long index) const = 0;
    // Changes the current row's value; false when the source is read-only or the column refuses it.
    virtual bool SetValue(long index, const Variant& value) = 0;
    virtual bool AddNew() = 0;
    // Writes the current row's changes; false when the engine refuses.
    virtual bool Update() = 0;
};

// The rows of a read-only statement as SQLite produces them. nullptr when the first step fails.
std::unique_ptr<Cursor> OpenStreamCursor(std::shared_ptr<SqliteDatabase> database, StatementHandle statement,
                                         std::u16string sql);

// All rows of a statement prepared from sql::WithRowId (first column the row id), held in memory so
// that they can be changed and written back by row id, and new rows added. nullptr when reading fails.
std::unique_ptr<Cursor> OpenKeysetCursor(std::shared_ptr<SqliteDatabase> database, StatementHandle statement);

}  // namespace qf::ado_detail
