// The record layer's recordset and its field: rows of one statement, walked forward, read by column
// position as typed values, and (when opened for change) changed, added and written back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "shared/ado_connection.h"
#include "shared/ado_exception.h"
#include "shared/variant.h"

namespace qf {

namespace ado_detail {
class Cursor;
}

// ADO cursor and lock types. The database code uses forward-only/read-only to read and
// dynamic/pessimistic to change rows.
enum AdoCursorType : long { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum AdoLockType : long { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3 };

class AdoRecordset;

// The one field object of a recordset: each AdoRecordset::Field call points it at another column and
// returns it again, so take a value out before asking for the next field. Every getter reads the value
// of the current row first; a refused read throws CAdoException(-16).
class AdoField {
  public:
    // The column's name; empty when it cannot be read.
    std::u16string Name() const;
    Variant Value();
    // EMPTY/NULL give "", text as is, anything else converted; a failed conversion gives "" (no throw).
    std::u16string AsString();
    // EMPTY/NULL give 0 (false); otherwise converted, throwing CAdoException(-11) when it does not convert.
    std::int32_t AsInt();
    std::int16_t AsShort();
    bool AsBool();
    // EMPTY/NULL give an all-zero SYSTEMTIME; a date converts; any other type throws -11.
    SYSTEMTIME AsDate();

    // Setters throw CAdoException(-15) when the value is refused (no current row, a read-only
    // recordset, a column that cannot take it).
    void SetValue(const Variant& value);
    void SetString(const std::u16string& value);
    void SetInt(std::int32_t value);
    void SetShort(std::int16_t value);
    // Stored as a VT_I2 1 or 0.
    void SetBool(bool value);
    void SetDate(const SYSTEMTIME& value);

  private:
    friend class AdoRecordset;
    explicit AdoField(AdoRecordset& recordset) : recordset_(recordset) {}
    Variant Read();

    AdoRecordset& recordset_;
    long index_ = 0;
    Variant value_;
};

// Not copyable; lives on the stack of one database operation. One thread at a time.
class AdoRecordset {
  public:
    // Makes the engine object; throws CAdoException(-12) when the engine is not available.
    AdoRecordset();
    ~AdoRecordset();
    AdoRecordset(const AdoRecordset&) = delete;
    AdoRecordset& operator=(const AdoRecordset&) = delete;

    // Closes the recordset, then runs `sql` (exactly one statement) on `connection`, or on the
    // connection of the previous Open when null. Read-only lock: the rows stream forward. Any other lock:
    // the rows of a single-table Select are held so that they can be changed, and AddNew adds rows to
    // that table. Statements without rows ("CREATE DATABASE '<path>'" included) run and leave the
    // recordset closed. False when the statement fails or there is no open connection.
    bool Open(const std::u16string& sql, AdoConnection* connection = nullptr,
              AdoCursorType cursor_type = adOpenForwardOnly, AdoLockType lock_type = adLockReadOnly,
              long options = adCmdText);
    // Safe on a closed recordset.
    void Close();
    bool IsOpen() const { return cursor_ != nullptr; }

    // True only past the last (before the first) row; false on a closed recordset or an engine error.
    bool IsEOF() const;
    bool IsBOF() const;
    // Moves; false when the move is not possible (callers ignore the result).
    bool MoveFirst();
    bool MoveNext();
    bool MoveLast();
    bool MovePrevious();
    bool Move(long rows);
    // Rows of the result; -1 when closed or the engine cannot tell.
    long RecordCount();
    // Columns of the select list; -1 when closed.
    long FieldCount() const;
    // The field at 0-based position `index` of the select list (see AdoField).
    AdoField& Field(long index);

    // Starts a new row of the recordset's table (a recordset opened for change); Update writes it.
    bool AddNew();
    // Writes the current row's changes; throws CAdoException(-18) when the engine refuses.
    void Update();
    // Always "Can`t get description".
    std::u16string ErrorDescription() const;

  private:
    friend class AdoField;

    AdoConnection* connection_ = nullptr;
    std::unique_ptr<ado_detail::Cursor> cursor_;
    AdoField field_{*this};
};

}  // namespace qf
