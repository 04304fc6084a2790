// Reading the statement texts of the database code before they reach SQLite: the two statements of the
// device's SQL dialect that SQLite lacks, the quoted date literals of Insert statements (rewritten to the
// canonical text form), and the hidden row id that lets a recordset write its rows back. Pure functions.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qf::sql {

// "CREATE DATABASE '<path>'": make a new database file at the (device) path.
struct CreateDatabase {
    std::u16string path;
};
// "ALTER TABLE <table> MOVE <column> BEFORE <before>": change the column order of a table.
struct MoveColumn {
    std::u16string table;
    std::u16string column;
    std::u16string before;
};
// Any other statement, for SQLite as it stands.
struct Plain {};
using Statement = std::variant<Plain, CreateDatabase, MoveColumn>;

// Which of the three kinds `text` is. Keywords match without regard to case; a trailing ";" is allowed.
Statement Classify(std::u16string_view text);

// True when `text` holds nothing but blanks, line ends, comments and semicolons.
bool IsBlank(std::u16string_view text);

// Answers the declared type of a column ("datetime", "int", ...), nullopt when the table or column is
// unknown.
using ColumnTypeLookup =
    std::function<std::optional<std::u16string>(const std::u16string& table, const std::u16string& column)>;

// True for declared types whose values are dates.
bool IsDateType(std::u16string_view declared_type);

// For "Insert Into T(c1,...) Values(v1,...)" whose values are single literals: every quoted value of a
// datetime column that reads as a date is rewritten in the canonical text form. `format` turns the text
// of a literal into the canonical text (nullopt leaves the literal alone). Other statements come back
// unchanged.
std::u16string RewriteInsertDates(
    std::u16string_view text, const ColumnTypeLookup& column_type,
    const std::function<std::optional<std::u16string>(std::u16string_view)>& format);

// "SELECT list ..." with "_rowid_," put in front of the list, so that the first result column is the
// row id of the statement's first table; nullopt for statements that are no plain SELECT (DISTINCT,
// anything not starting with SELECT).
std::optional<std::u16string> WithRowId(std::u16string_view text);

// One column of a CREATE TABLE statement: its name and its definition as written ("Title varchar(255)").
struct ColumnDefinition {
    std::u16string name;
    std::u16string text;
};
// The column definitions of "CREATE TABLE name(def,def,...)" in order; nullopt for any other text and
// for tables with table constraints.
std::optional<std::vector<ColumnDefinition>> ColumnDefinitions(std::u16string_view create_table);

// `value` between single quotes, with inner quotes doubled.
std::u16string Quote(std::u16string_view value);
// A table or column name for SQLite: UTF-8 between double quotes, with inner double quotes doubled.
std::string QuoteName(std::u16string_view name);

}  // namespace qf::sql
