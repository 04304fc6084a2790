#include "shared/cursor.h"

namespace qf::ado_detail {
namespace {

class StreamCursor : public Cursor {
  public:
    StreamCursor(std::shared_ptr<SqliteDatabase> database, StatementHandle statement, std::u16string sql)
        : database_(std::move(database)),
          statement_(std::move(statement)),
          sql_(std::move(sql)),
          columns_(DescribeColumns(statement_.get())) {}

    // Positions on the first row; false when the statement fails.
    bool Start() {
        sqlite3_reset(statement_.get());
        moved_ = false;
        Step();
        return state_ != State::kError;
    }

    bool IsEOF() const override { return state_ == State::kEnd; }
    bool IsBOF() const override { return state_ == State::kEnd && !moved_; }
    bool MoveFirst() override { return moved_ ? Start() : state_ != State::kError; }
    bool MoveNext() override {
        if (state_ != State::kRow) return false;
        moved_ = true;
        Step();
        return state_ != State::kError;
    }
    bool MovePrevious() override { return false; }
    bool MoveLast() override { return false; }

    long RecordCount() override {
        StatementHandle count = database_->Prepare(u"SELECT count(*) FROM (" + sql_ + u")");
        if (!count || sqlite3_step(count.get()) != SQLITE_ROW) return -1;
        return static_cast<long>(sqlite3_column_int64(count.get(), 0));
    }

    long FieldCount() const override { return static_cast<long>(columns_.size()); }
    std::optional<std::u16string> FieldName(long index) const override {
        if (index < 0 || index >= FieldCount()) return std::nullopt;
        return columns_[index].name;
    }
    std::optional<Variant> Value(long index) const override {
        if (state_ != State::kRow || index < 0 || index >= FieldCount()) return std::nullopt;
        return ReadColumn(statement_.get(), static_cast<int>(index), columns_[index].declared_type);
    }
    bool SetValue(long, const Variant&) override { return false; }
    bool AddNew() override { return false; }
    bool Update() override { return false; }

  private:
    enum class State { kRow, kEnd, kError };

    void Step() {
        int rc = sqlite3_step(statement_.get());
        state_ = rc == SQLITE_ROW ? State::kRow : rc == SQLITE_DONE ? State::kEnd : State::kError;
    }

    std::shared_ptr<SqliteDatabase> database_;
    StatementHandle statement_;
    std::u16string sql_;
    std::vector<ColumnInfo> columns_;
    State state_ = State::kEnd;
    bool moved_ = false;
};

}  // namespace

std::unique_ptr<Cursor> OpenStreamCursor(std::shared_ptr<SqliteDatabase> database, StatementHandle statement,
                                         std::u16string sql) {
    auto cursor = std::make_unique<StreamCursor>(std::move(database), std::move(statement), std::move(sql));
    if (!cursor->Start()) return nullptr;
    return cursor;
}

}  // namespace qf::ado_detail
