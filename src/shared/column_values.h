// Moving values between SQLite and Variant by the declared type of the column: what a field reads and
// what a field set may store. Internal to src/shared.
#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>
#include <vector>

#include "shared/variant.h"

namespace qf::ado_detail {

// What the record layer knows of one result column.
struct ColumnInfo {
    std::u16string name;           // as the statement names it
    std::u16string declared_type;  // of the table column it comes from; empty for expressions
    std::u16string table;          // origin table; empty for expressions
    std::u16string origin;         // origin column; empty for expressions
};

// The result columns of a prepared statement.
std::vector<ColumnInfo> DescribeColumns(sqlite3_stmt* statement);

// The value of `column` of the statement's current row: NULL reads as VT_NULL, datetime columns as
// VT_DATE (text that is no date stays VT_BSTR), smallint as VT_I2, other integers as VT_I4 (VT_R8 beyond
// 32 bits), real as VT_R8, text as VT_BSTR.
Variant ReadColumn(sqlite3_stmt* statement, int column, const std::u16string& declared_type);

// `value` as a column of `declared_type` stores it (dates as VT_DATE, integers as VT_I2/VT_I4, text as
// VT_BSTR; EMPTY and NULL as VT_NULL); nullopt when the column cannot take the value.
std::optional<Variant> CoerceToColumn(const Variant& value, const std::u16string& declared_type);

// Binds `value` to parameter `index` (1-based); dates are written as canonical text. SQLite's result code.
int BindValue(sqlite3_stmt* statement, int index, const Variant& value);

}  // namespace qf::ado_detail
