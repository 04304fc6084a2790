#include "shared/column_values.h"

#include <limits>

#include "shared/date_text.h"
#include "shared/sql_text.h"

namespace qf::ado_detail {
namespace {

enum class ColumnKind { kAny, kDate, kSmall, kInteger, kReal, kText };

bool Contains(const std::u16string& lower, std::u16string_view part) {
    return lower.find(part) != std::u16string::npos;
}

// SQLite's affinity rules, with dates and smallint told apart because the record layer reads them
// as their own types.
ColumnKind KindOf(const std::u16string& declared_type) {
    if (sql::IsDateType(declared_type)) return ColumnKind::kDate;
    std::u16string lower;
    for (char16_t c : declared_type) lower.push_back(c >= u'A' && c <= u'Z' ? c + 32 : c);
    if (lower == u"smallint" || lower == u"tinyint") return ColumnKind::kSmall;
    if (Contains(lower, u"int")) return ColumnKind::kInteger;
    if (Contains(lower, u"char") || Contains(lower, u"clob") || Contains(lower, u"text"))
        return ColumnKind::kText;
    if (Contains(lower, u"real") || Contains(lower, u"floa") || Contains(lower, u"doub"))
        return ColumnKind::kReal;
    return ColumnKind::kAny;
}

std::u16string Text16(const void* text, int bytes) {
    if (!text) return std::u16string();
    return std::u16string(static_cast<const char16_t*>(text), static_cast<size_t>(bytes) / sizeof(char16_t));
}

std::u16string FromUtf8(const char* text) { return text ? qf::Utf8ToWide(text) : std::u16string(); }

Variant IntegerValue(sqlite3_int64 value, ColumnKind kind) {
    if (kind == ColumnKind::kSmall && value >= -32768 && value <= 32767) {
        return Variant::I2(static_cast<std::int16_t>(value));
    }
    if (value >= std::numeric_limits<std::int32_t>::min() &&
        value <= std::numeric_limits<std::int32_t>::max()) {
        return Variant::I4(static_cast<std::int32_t>(value));
    }
    return Variant::R8(static_cast<double>(value));
}

}  // namespace

std::vector<ColumnInfo> DescribeColumns(sqlite3_stmt* statement) {
    std::vector<ColumnInfo> columns;
    int count = sqlite3_column_count(statement);
    for (int i = 0; i < count; ++i) {
        const void* name = sqlite3_column_name16(statement, i);
        columns.push_back({name ? std::u16string(static_cast<const char16_t*>(name)) : std::u16string(),
                           FromUtf8(sqlite3_column_decltype(statement, i)),
                           FromUtf8(sqlite3_column_table_name(statement, i)),
                           FromUtf8(sqlite3_column_origin_name(statement, i))});
    }
    return columns;
}

Variant ReadColumn(sqlite3_stmt* statement, int column, const std::u16string& declared_type) {
    ColumnKind kind = KindOf(declared_type);
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_NULL:
            return Variant::Null();
        case SQLITE_INTEGER:
            return IntegerValue(sqlite3_column_int64(statement, column), kind);
        case SQLITE_FLOAT:
            return Variant::R8(sqlite3_column_double(statement, column));
        default: {
            const void* text = sqlite3_column_text16(statement, column);
            std::u16string value = Text16(text, sqlite3_column_bytes16(statement, column));
            if (kind == ColumnKind::kDate) {
                if (auto date = ParseDateText(value)) return Variant::Date(*date);
            }
            return Variant::String(std::move(value));
        }
    }
}

std::optional<Variant> CoerceToColumn(const Variant& value, const std::u16string& declared_type) {
    if (value.IsEmptyOrNull()) return Variant::Null();
    switch (KindOf(declared_type)) {
        case ColumnKind::kDate:
            return ChangeType(value, VT_DATE);
        case ColumnKind::kSmall:
            return ChangeType(value, VT_I2);
        case ColumnKind::kInteger:
            return ChangeType(value, VT_I4);
        case ColumnKind::kReal:
            return ChangeType(value, VT_R8);
        case ColumnKind::kText:
            return ChangeType(value, VT_BSTR);
        case ColumnKind::kAny:
            return value;
    }
    return value;
}

int BindValue(sqlite3_stmt* statement, int index, const Variant& value) {
    switch (value.type()) {
        case VT_EMPTY:
        case VT_NULL:
            return sqlite3_bind_null(statement, index);
        case VT_I2:
        case VT_I4:
        case VT_BOOL:
            return sqlite3_bind_int64(statement, index, value.integer());
        case VT_R8:
            return sqlite3_bind_double(statement, index, value.real());
        case VT_DATE: {
            auto text = FormatDateText(value.real());
            if (!text) return SQLITE_RANGE;
            return sqlite3_bind_text16(statement, index, text->data(),
                                       static_cast<int>(text->size() * sizeof(char16_t)), SQLITE_TRANSIENT);
        }
        case VT_BSTR:
            return sqlite3_bind_text16(statement, index, value.text().data(),
                                       static_cast<int>(value.text().size() * sizeof(char16_t)),
                                       SQLITE_TRANSIENT);
    }
    return SQLITE_MISMATCH;
}

}  // namespace qf::ado_detail
