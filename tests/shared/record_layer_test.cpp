#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "qfdevice/device.h"
#include "shared/adoclass31.h"
#include "support/device_test.h"

namespace qf {
namespace {

constexpr char16_t kPath[] = u"\\test.cdb";

// The layer's error code that `action` throws, or 0 when it throws nothing.
template <typename Action>
int ThrownCode(Action action) {
    try {
        action();
    } catch (const CAdoException& e) {
        return e.error_code();
    }
    return 0;
}

// A fresh database file made through the layer, with one connection open on it.
class RecordLayer : public ::testing::Test {
  protected:
    void SetUp() override {
        AdoConnection engine;
        ASSERT_EQ(engine.Open(u""), 0);
        AdoRecordset create;
        ASSERT_TRUE(create.Open(u"CREATE DATABASE '\\test.cdb'", &engine, adOpenDynamic, adLockPessimistic));
        ASSERT_EQ(db_.Open(kPath), 0);
        ASSERT_TRUE(
            db_.Execute(u"CREATE TABLE Items(ID int,Name varchar(50),Status smallint,Entered datetime)"));
    }

    // Reads one text cell straight from the file, bypassing the record layer.
    std::string RawText(const std::string& sql) {
        return test::SqlText(device::MapPath(kPath)->string(), sql);
    }

    std::vector<std::u16string> Names(const std::u16string& sql) {
        std::vector<std::u16string> names;
        AdoRecordset rows;
        EXPECT_TRUE(rows.Open(sql, &db_));
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) names.push_back(rows.Field(0).AsString());
        return names;
    }

    test::TempDevice device_;
    AdoConnection db_;
};

TEST_F(RecordLayer, CreateDatabaseMakesOneNewFileOnly) {
    auto host = qf::device::MapPath(kPath);
    EXPECT_GT(std::filesystem::file_size(*host), 0u);
    AdoConnection engine;
    ASSERT_EQ(engine.Open(u""), 0);
    EXPECT_FALSE(engine.Execute(u"CREATE DATABASE '\\test.cdb'"));
    EXPECT_FALSE(engine.Execute(u"Select 1")) << "no database behind an engine-only connection";

    AdoConnection other;
    EXPECT_EQ(other.Open(u"\\missing.cdb"), kAdoOpenFailed);
    EXPECT_FALSE(std::filesystem::exists(device_.HostPath("missing.cdb")));
    EXPECT_FALSE(other.errors().empty());
    AdoConnection empty(AdoConnection::EngineObject::kNone);
    EXPECT_EQ(empty.Open(kPath), kAdoOpenFailed);
    EXPECT_TRUE(empty.CreateEngineObject());
    EXPECT_EQ(empty.Open(kPath), 0);
    EXPECT_TRUE(IsAdoEngineAvailable());
}

TEST_F(RecordLayer, ExecuteRunsExactlyOneStatement) {
    EXPECT_FALSE(db_.Execute(u"Insert Into Items(ID) Values(1); Insert Into Items(ID) Values(2)"));
    EXPECT_FALSE(db_.Execute(u"Insert Into Items(ID) Values(3) garbage"));
    EXPECT_TRUE(db_.Execute(u"Insert Into Items(ID) Values(4);  -- the end\n"));
    EXPECT_EQ(Names(u"Select ID From Items"), std::vector<std::u16string>{u"4"});
    long affected = 0;
    EXPECT_TRUE(db_.Execute(u"Delete From Items", nullptr, &affected));
    EXPECT_EQ(affected, 1);
}

TEST_F(RecordLayer, DatesAreStoredCanonicallyWhicheverPathWroteThem) {
    ASSERT_TRUE(
        db_.Execute(u"Insert Into Items(ID,Name,Entered) Values(1,'12/31/2005 23:59','12/31/2005 23:59')"));
    {
        AdoRecordset add;
        ASSERT_TRUE(
            add.Open(u"Select ID,Entered From Items Where ID = 0", &db_, adOpenDynamic, adLockPessimistic));
        add.AddNew();
        add.Field(0).SetInt(2);
        add.Field(1).SetDate(SYSTEMTIME{2006, 1, 1, 2, 10, 0, 0, 0});
        add.Update();
        add.AddNew();
        add.Field(0).SetInt(3);
        add.Field(1).SetString(u"01/01/2006 09:30");
        add.Update();
    }
    // Only date columns change.
    EXPECT_EQ(
        RawText("Select group_concat(ID||'='||Entered||'/'||ifnull(Name,''), ',') From Items Order By ID"),
        "1=2005-12-31 23:59:00/12/31/2005 23:59,2=2006-01-02 10:00:00/,3=2006-01-01 09:30:00/");
    EXPECT_EQ(Names(u"Select ID From Items Order By Entered Desc"),
              (std::vector<std::u16string>{u"2", u"3", u"1"}));

    AdoRecordset rows;
    ASSERT_TRUE(rows.Open(u"Select Entered From Items Where ID = 2", &db_));
    EXPECT_EQ(rows.Field(0).Value().type(), VT_DATE);
    SYSTEMTIME date = rows.Field(0).AsDate();
    EXPECT_EQ(std::tuple(date.wYear, date.wDay, date.wHour), std::tuple(2006, 2, 10));
}

TEST_F(RecordLayer, FieldsFollowTheConversionRules) {
    ASSERT_TRUE(db_.Execute(u"Insert Into Items(ID) Values(1)"));
    ASSERT_TRUE(db_.Execute(u"Insert Into Items(ID,Name,Status,Entered) Values(2,'17',3,'junk')"));
    ASSERT_TRUE(db_.Execute(u"Insert Into Items(ID,Name,Status) Values(3,'seventeen','x')"));
    AdoRecordset rows;
    ASSERT_TRUE(rows.Open(u"Select ID,Name,Status,Entered From Items Order By ID", &db_));

    // Row 1: NULLs read as defaults.
    EXPECT_EQ(std::tuple(rows.Field(1).AsString(), rows.Field(1).AsInt(), rows.Field(2).AsBool()),
              std::tuple(std::u16string(), 0, false));
    SYSTEMTIME zero{};
    SYSTEMTIME date = rows.Field(3).AsDate();
    EXPECT_EQ(std::memcmp(&date, &zero, sizeof date), 0);

    // Row 2: a number in a text column reads as either; a date column holding no date is text.
    rows.MoveNext();
    EXPECT_EQ(std::tuple(rows.Field(1).AsInt(), rows.Field(2).AsString(), rows.Field(2).Value().type(),
                         rows.Field(0).Value().type(), rows.Field(3).AsString()),
              std::tuple(17, std::u16string(u"3"), VT_I2, VT_I4, std::u16string(u"junk")));
    EXPECT_EQ(ThrownCode([&] { rows.Field(3).AsDate(); }), kAdoConvertFailed) << "a text date is no date";

    // Row 3: text that is no number throws -11.
    rows.MoveNext();
    EXPECT_EQ(ThrownCode([&] { rows.Field(1).AsInt(); }), kAdoConvertFailed);
    EXPECT_THROW(rows.Field(2).AsShort(), CException);
    EXPECT_THROW(rows.Field(2).AsBool(), CAdoException);
    EXPECT_THROW(rows.Field(9).AsInt(), CAdoException) << "no such column";

    rows.MoveNext();
    ASSERT_TRUE(rows.IsEOF());
    EXPECT_EQ(ThrownCode([&] { rows.Field(0).Value(); }), kAdoReadRefused) << "no current row";
}

TEST_F(RecordLayer, OneFieldObjectPerRecordsetAndReopenClosesFirst) {
    ASSERT_TRUE(db_.Execute(u"Insert Into Items(ID,Name) Values(1,'one'),(2,'two')"));
    AdoRecordset rows;
    ASSERT_TRUE(rows.Open(u"Select ID,Name From Items Order By ID", &db_));
    AdoField& first = rows.Field(0);
    EXPECT_EQ(&first, &rows.Field(1));
    EXPECT_EQ(first.AsString(), u"one") << "the field now points at column 1";
    EXPECT_EQ(std::tuple(rows.FieldCount(), rows.Field(1).Name(), rows.RecordCount()),
              std::tuple(2, std::u16string(u"Name"), 2));

    // Without a connection the next Open reuses the previous one.
    ASSERT_TRUE(rows.Open(u"Select Name From Items Where ID = 2"));
    EXPECT_EQ(rows.Field(0).AsString(), u"two");
    ASSERT_TRUE(rows.Open(u"Select Name From Items Where ID = 3"));
    EXPECT_TRUE(rows.IsEOF() && rows.IsBOF());
    EXPECT_FALSE(rows.Open(u"Select Nothing From Nowhere"));
    EXPECT_FALSE(rows.IsEOF()) << "a closed recordset is not at its end";
    EXPECT_EQ(rows.RecordCount(), -1);
    rows.Close();
    rows.Close();
}

TEST_F(RecordLayer, ChangedRowsAndNewRowsSurviveReopening) {
    ASSERT_TRUE(db_.Execute(u"Insert Into Items(ID,Name,Status) Values(1,'one',1),(2,'two',1)"));
    {
        AdoRecordset rows;
        ASSERT_TRUE(rows.Open(u"Select Status,ID From Items", &db_, adOpenDynamic, adLockPessimistic));
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
            // One field at a time: the field object is shared, so the value is taken out first.
            auto status = static_cast<std::int16_t>(rows.Field(1).AsInt() + 1);
            rows.Field(0).SetShort(status);
            rows.Update();
        }
        AdoRecordset add;
        ASSERT_TRUE(add.Open(u"Select ID,Name,Status From Items Where ID = 0", &db_, adOpenDynamic,
                             adLockPessimistic));
        EXPECT_TRUE(add.IsEOF());
        ASSERT_TRUE(add.AddNew());
        add.Field(0).SetInt(3);
        add.Field(1).SetString(u"it's \u00e9");
        add.Field(2).SetBool(true);
        add.Update();
        add.Field(1).SetString(u"three");
        add.Update();
    }
    db_.Close();
    ASSERT_EQ(db_.Open(kPath), 0);
    EXPECT_EQ(Names(u"Select Status From Items Order By ID"),
              (std::vector<std::u16string>{u"2", u"3", u"1"}));
    EXPECT_EQ(Names(u"Select Name From Items Where ID = 3"), std::vector<std::u16string>{u"three"});
}

TEST_F(RecordLayer, RefusedChangesThrowTheirCodes) {
    ASSERT_TRUE(db_.Execute(u"Insert Into Items(ID,Name) Values(1,'one')"));
    AdoRecordset read_only;
    ASSERT_TRUE(read_only.Open(u"Select ID From Items", &db_));
    EXPECT_EQ(ThrownCode([&] { read_only.Field(0).SetInt(5); }), kAdoSetRefused);
    EXPECT_EQ(ThrownCode([&] { read_only.Update(); }), kAdoUpdateRefused);
    AdoRecordset change;
    ASSERT_TRUE(change.Open(u"Select ID,Entered,ID+1 From Items", &db_, adOpenDynamic, adLockPessimistic));
    EXPECT_THROW(change.Field(0).SetString(u"many"), CAdoException) << "an int column takes only numbers";
    EXPECT_THROW(change.Field(1).SetString(u"someday"), CAdoException) << "a date column takes only dates";
    EXPECT_THROW(change.Field(2).SetInt(1), CAdoException) << "an expression is no column";
    EXPECT_THROW(change.Field(1).SetDate(SYSTEMTIME{2006, 13, 0, 40, 0, 0, 0, 0}), CAdoException);
}

// The database tests' 1.0 upgrade moves a column with rows and index; here the statements it refuses.
TEST_F(RecordLayer, MoveColumnRefusesUnknownTablesAndColumns) {
    ASSERT_TRUE(db_.Execute(u"CREATE TABLE Feeds(FeedID int,Title varchar(255),MaxItems smallint)"));
    ASSERT_TRUE(db_.Execute(u"ALTER TABLE Feeds MOVE MaxItems BEFORE Title"));
    EXPECT_EQ(RawText("Select sql From sqlite_master Where name = 'Feeds'"),
              "CREATE TABLE Feeds(FeedID int,MaxItems smallint,Title varchar(255))");
    EXPECT_FALSE(db_.Execute(u"ALTER TABLE Feeds MOVE Nothing BEFORE MaxItems"));
    EXPECT_FALSE(db_.Execute(u"ALTER TABLE Nowhere MOVE Title BEFORE MaxItems"));
    EXPECT_EQ(RawText("Select count(*) From sqlite_master Where name Like 'Feeds%'"), "1");
}

}  // namespace
}  // namespace qf
