#include <algorithm>

#include "shared/cursor.h"

namespace qf::ado_detail {

using sql::QuoteName;
namespace {

struct Row {
    std::optional<sqlite3_int64> rowid;  // none until a new row has been written
    std::vector<Variant> values;
    std::vector<bool> changed;
};

class KeysetCursor : public Cursor {
  public:
    KeysetCursor(std::shared_ptr<SqliteDatabase> database, std::vector<ColumnInfo> columns,
                 std::vector<Row> rows)
        : database_(std::move(database)), columns_(std::move(columns)), rows_(std::move(rows)) {
        table_ = columns_.empty() ? std::u16string() : columns_.front().table;
    }

    bool IsEOF() const override { return position_ >= static_cast<long>(rows_.size()); }
    bool IsBOF() const override { return position_ < 0 || rows_.empty(); }
    bool MoveFirst() override { return MoveTo(0); }
    bool MoveNext() override { return MoveTo(position_ + 1); }
    bool MovePrevious() override { return MoveTo(position_ - 1); }
    bool MoveLast() override { return MoveTo(static_cast<long>(rows_.size()) - 1); }
    long RecordCount() override { return static_cast<long>(rows_.size()); }

    // The first column is the hidden row id: callers count from the column after it.
    long FieldCount() const override { return static_cast<long>(columns_.size()) - 1; }
    std::optional<std::u16string> FieldName(long index) const override {
        if (index < 0 || index >= FieldCount()) return std::nullopt;
        return columns_[index + 1].name;
    }
    std::optional<Variant> Value(long index) const override {
        if (!HasRow() || index < 0 || index >= FieldCount()) return std::nullopt;
        return rows_[position_].values[index];
    }

    bool SetValue(long index, const Variant& value) override {
        if (!HasRow() || index < 0 || index >= FieldCount()) return false;
        const ColumnInfo& column = columns_[index + 1];
        // Only columns of the row id's own table can be written back.
        if (column.origin.empty() || column.table != table_) return false;
        auto stored = CoerceToColumn(value, column.declared_type);
        if (!stored) return false;
        Row& row = rows_[position_];
        row.values[index] = *stored;
        row.changed[index] = true;
        return true;
    }

    bool AddNew() override {
        if (table_.empty() || !FlushCurrent()) return false;
        size_t count = static_cast<size_t>(FieldCount());
        rows_.push_back(Row{std::nullopt, std::vector<Variant>(count), std::vector<bool>(count, false)});
        position_ = static_cast<long>(rows_.size()) - 1;
        return true;
    }

    bool Update() override { return HasRow() && Write(rows_[position_]); }

  private:
    bool HasRow() const { return position_ >= 0 && position_ < static_cast<long>(rows_.size()); }

    // As the engine does, a move away from a changed row writes it first.
    bool FlushCurrent() { return !HasRow() || Write(rows_[position_]); }

    bool MoveTo(long position) {
        if (!FlushCurrent()) return false;
        position_ = std::clamp(position, -1L, static_cast<long>(rows_.size()));
        return HasRow();
    }

    bool Write(Row& row) {
        std::string names, placeholders;
        std::vector<const Variant*> values;
        for (size_t i = 0; i < row.values.size(); ++i) {
            if (!row.changed[i]) continue;
            if (!values.empty()) {
                names += row.rowid ? ", " : ",";
                placeholders += ",";
            }
            names += QuoteName(columns_[i + 1].origin) + (row.rowid ? "=?" : "");
            placeholders += "?";
            values.push_back(&row.values[i]);
        }
        if (row.rowid && values.empty()) return true;
        std::string sql;
        if (!row.rowid) {
            sql = values.empty()
                      ? "INSERT INTO " + QuoteName(table_) + " DEFAULT VALUES"
                      : "INSERT INTO " + QuoteName(table_) + "(" + names + ") VALUES(" + placeholders + ")";
        } else {
            sql = "UPDATE " + QuoteName(table_) + " SET " + names + " WHERE _rowid_=?";
        }
        sqlite3_stmt* statement = Statement(sql);
        if (statement == nullptr) return false;
        int index = 1;
        for (const Variant* value : values) {
            if (BindValue(statement, index++, *value) != SQLITE_OK) return false;
        }
        if (row.rowid) sqlite3_bind_int64(statement, index, *row.rowid);
        bool done = sqlite3_step(statement) == SQLITE_DONE;
        sqlite3_reset(statement);
        if (!done) return false;
        if (!row.rowid) row.rowid = sqlite3_last_insert_rowid(database_->handle());
        std::fill(row.changed.begin(), row.changed.end(), false);
        return true;
    }

    // The write statement of `sql`, ready for new bindings: rows added one after another change the same
    // columns, so the statement of the last write serves again.
    sqlite3_stmt* Statement(const std::string& sql) {
        if (sql == write_sql_ && write_statement_) {
            sqlite3_reset(write_statement_.get());
            sqlite3_clear_bindings(write_statement_.get());
            return write_statement_.get();
        }
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(database_->handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
            sqlite3_finalize(raw);
            write_statement_.reset();
            return nullptr;
        }
        write_statement_.reset(raw);
        write_sql_ = sql;
        return raw;
    }

    std::shared_ptr<SqliteDatabase> database_;
    std::string write_sql_;
    StatementHandle write_statement_;
    std::vector<ColumnInfo> columns_;
    std::vector<Row> rows_;
    std::u16string table_;
    long position_ = 0;
};

}  // namespace

std::unique_ptr<Cursor> OpenKeysetCursor(std::shared_ptr<SqliteDatabase> database,
                                         StatementHandle statement) {
    std::vector<ColumnInfo> columns = DescribeColumns(statement.get());
    if (columns.empty()) return nullptr;
    std::vector<Row> rows;
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        Row row{sqlite3_column_int64(statement.get(), 0), {}, std::vector<bool>(columns.size() - 1, false)};
        for (size_t i = 1; i < columns.size(); ++i) {
            row.values.push_back(ReadColumn(statement.get(), static_cast<int>(i), columns[i].declared_type));
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) return nullptr;
    return std::make_unique<KeysetCursor>(std::move(database), std::move(columns), std::move(rows));
}

}  // namespace qf::ado_detail
