#include "shared/sql_text.h"

#include <gtest/gtest.h>

#include "win/strings.h"

namespace qf::sql {
namespace {

TEST(SqlText, ClassifiesTheDialectStatements) {
    Statement create = Classify(u"CREATE DATABASE '\\My Documents\\it''s.cdb'");
    ASSERT_TRUE(std::holds_alternative<CreateDatabase>(create));
    EXPECT_EQ(std::get<CreateDatabase>(create).path, u"\\My Documents\\it's.cdb");

    Statement move = Classify(u"alter table Feeds move ReadAfter before MaxItems;");
    ASSERT_TRUE(std::holds_alternative<MoveColumn>(move));
    const MoveColumn& moved = std::get<MoveColumn>(move);
    EXPECT_EQ(moved.table + u"." + moved.column + u" before " + moved.before,
              u"Feeds.ReadAfter before MaxItems");
    for (const char16_t* plain : {u"ALTER TABLE Feeds ADD ReadAfter smallint",
                                  u"CREATE DATABASE 'x'; DROP TABLE Feeds", u"CREATE TABLE x(a int)"})
        EXPECT_TRUE(std::holds_alternative<Plain>(Classify(plain)));
}

TEST(SqlText, BlankTailsAreOnlyCommentsAndSemicolons) {
    EXPECT_TRUE(IsBlank(u"") && IsBlank(u" ; -- done\n /* and */ ;"));
    EXPECT_FALSE(IsBlank(u"; DROP TABLE Feeds") || IsBlank(u"'text'"));
}

TEST(SqlText, InsertDatesOfDateColumnsBecomeCanonical) {
    ColumnTypeLookup types = [](const std::u16string& table,
                                const std::u16string& column) -> std::optional<std::u16string> {
        if (table != u"Views") return std::nullopt;
        if (column == u"DateEntered") return u"datetime";
        if (column == u"Label") return u"varchar(100)";
        return u"int";
    };
    auto format = [](std::u16string_view literal) -> std::optional<std::u16string> {
        if (literal == u"01/02/2006 10:00") return u"2006-01-02 10:00:00";
        return std::nullopt;
    };
    EXPECT_EQ(
        RewriteInsertDates(u"Insert Into Views(ViewID,Label,DateEntered) Values(1,'01/02/2006 10:00',"
                           u"'01/02/2006 10:00')",
                           types, format),
        u"Insert Into Views(ViewID,Label,DateEntered) Values(1,'01/02/2006 10:00','2006-01-02 10:00:00')");
    // Values that are not single literals, or do not read as dates, are left alone.
    std::u16string untouched[] = {u"Insert Into Views(ViewID,DateEntered) Values(1,datetime('now'))",
                                  u"Insert Into Views(ViewID,DateEntered) Values(-1,'whenever')",
                                  u"Insert Into Views(ViewID,DateEntered) Select 1,'01/02/2006 10:00'",
                                  u"Insert Into Other(DateEntered) Values('01/02/2006 10:00')",
                                  u"Update Views Set DateEntered = '01/02/2006 10:00'"};
    for (const std::u16string& sql : untouched) EXPECT_EQ(RewriteInsertDates(sql, types, format), sql);
}

TEST(SqlText, RowIdGoesInFrontOfPlainSelects) {
    EXPECT_EQ(WithRowId(u"Select FeedID,Status From Feeds Where FeedID = 0"),
              u"Select _rowid_, FeedID,Status From Feeds Where FeedID = 0");
    EXPECT_EQ(WithRowId(u"  select * from Views"), u"  select _rowid_, * from Views");
    EXPECT_FALSE(WithRowId(u"Select Distinct FeedID From Feeds") || WithRowId(u"Delete From Feeds"));
}

TEST(SqlText, ColumnDefinitionsKeepTheirText) {
    auto columns = ColumnDefinitions(
        u"CREATE TABLE Feeds(FeedID int,Title varchar(255),\"Odd, Name\" text, "
        u"Status smallint DEFAULT (1))");
    ASSERT_TRUE(columns);
    std::u16string described;
    for (const auto& column : *columns) described += column.name + u"=" + column.text + u";";
    EXPECT_EQ(described,
              u"FeedID=FeedID int;Title=Title varchar(255);Odd, Name=\"Odd, Name\" text;"
              u"Status=Status smallint DEFAULT (1);");
    for (const char16_t* refused :
         {u"CREATE TABLE t(a int, PRIMARY KEY(a))", u"CREATE TABLE t(a int", u"CREATE INDEX i On t(a)"})
        EXPECT_FALSE(ColumnDefinitions(refused)) << WideToUtf8(refused);
}

}  // namespace
}  // namespace qf::sql
