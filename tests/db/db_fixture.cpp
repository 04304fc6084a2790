#include "db_fixture.h"

#include <sqlite3.h>

#include "qfdevice/device.h"
#include "qfdevice/shell_hooks.h"
#include "shared/adoclass31.h"

namespace qf::test {

MessageBoxRecorder::MessageBoxRecorder(int answer) {
    qf::device::SetMessageBoxHook(
        [this, answer](HWND, const std::u16string& text, const std::u16string& caption, UINT type) {
            shown_.push_back({text, caption, type});
            return answer;
        });
}

MessageBoxRecorder::~MessageBoxRecorder() { qf::device::SetMessageBoxHook({}); }

void DbTest::SetUp() {
    ASSERT_TRUE(db_.Create(kPath, OverwritePrompt::kAsk, DefaultViews::kCreate));
    ASSERT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kReady);
}

void DbTest::AddFeed(std::int32_t feed_id, const std::u16string& title, std::int16_t priority,
                     std::int16_t status, SYSTEMTIME last_feed_date) {
    AdoConnection connection;
    ASSERT_EQ(connection.Open(kPath), 0);
    AdoRecordset rows;
    ASSERT_TRUE(
        rows.Open(u"Select FeedID,Title,Priority,Status,LastFeedDate,MaxItems From Feeds Where FeedID = 0",
                  &connection, adOpenDynamic, adLockPessimistic));
    rows.AddNew();
    rows.Field(0).SetInt(feed_id);
    rows.Field(1).SetString(title);
    rows.Field(2).SetShort(priority);
    rows.Field(3).SetShort(status);
    rows.Field(4).SetDate(last_feed_date);
    rows.Field(5).SetShort(50);
    rows.Update();
}

void DbTest::AddView(std::int32_t view_id, const std::u16string& label, std::int16_t num_to_show,
                     std::int16_t sort_by, const std::u16string& keywords, bool hide_read,
                     std::int16_t hide_after) {
    ViewRecord view;
    view.view_id = view_id;
    view.label = label;
    view.num_to_show = num_to_show;
    view.sort_by = sort_by;
    view.keywords = keywords;
    view.hide_read = hide_read;
    view.hide_after = hide_after;
    ASSERT_TRUE(db_.AddView(view));
}

void DbTest::AddItem(std::int32_t item_id, std::int32_t feed_id, const std::u16string& title,
                     SYSTEMTIME item_date, std::int16_t status) {
    AdoConnection connection;
    ASSERT_EQ(connection.Open(kPath), 0);
    AdoRecordset rows;
    ASSERT_TRUE(
        rows.Open(u"Select FeedItemID,FeedID,GUID,Title,LinkUrl,LinkUrl2,Status,ItemDate,DateEntered from "
                  u"FeedItems Where FeedItemID = 0",
                  &connection, adOpenDynamic, adLockPessimistic));
    rows.AddNew();
    rows.Field(0).SetInt(item_id);
    rows.Field(1).SetInt(feed_id);
    rows.Field(2).SetString(title);
    rows.Field(3).SetString(title);
    rows.Field(4).SetString(u"http://example.com/" + title);
    rows.Field(5).SetString(u"");
    rows.Field(6).SetShort(status);
    rows.Field(7).SetDate(item_date);
    rows.Field(8).SetDate(item_date);
    rows.Update();
}

void DbTest::AddText(std::int32_t item_id, std::int32_t feed_id, std::int16_t link_order,
                     const std::u16string& text, bool long_text, std::int16_t keep) {
    AdoConnection connection;
    ASSERT_EQ(connection.Open(kPath), 0);
    AdoRecordset rows;
    std::u16string table = long_text ? u"FeedItemLongData" : u"FeedItemShortData";
    ASSERT_TRUE(rows.Open(
        u"Select FeedItemID,FeedID,LinkOrder,Keep,TextData from " + table + u" Where FeedItemID = 0",
        &connection, adOpenDynamic, adLockPessimistic));
    rows.AddNew();
    rows.Field(0).SetInt(item_id);
    rows.Field(1).SetInt(feed_id);
    rows.Field(2).SetShort(link_order);
    rows.Field(3).SetShort(keep);
    rows.Field(4).SetString(text);
    rows.Update();
}

void DbTest::Execute(const std::u16string& sql) {
    AdoConnection connection;
    ASSERT_EQ(connection.Open(kPath), 0);
    ASSERT_TRUE(connection.Execute(sql)) << WideToUtf8(sql);
}

std::string DbTest::HostPath() const { return qf::device::MapPath(kPath)->string(); }

namespace {

template <typename Read>
void RawQuery(const std::string& path, const std::string& sql, Read read) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_busy_timeout(raw, 10000);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) read(statement);
    EXPECT_EQ(rc, SQLITE_DONE) << sql;
    sqlite3_finalize(statement);
    sqlite3_close(raw);
}

}  // namespace

long long DbTest::Count(const std::string& sql) {
    long long count = -1;
    RawQuery(HostPath(), sql, [&](sqlite3_stmt* row) { count = sqlite3_column_int64(row, 0); });
    return count;
}

std::string DbTest::Text(const std::string& sql) {
    std::string text;
    RawQuery(HostPath(), sql, [&](sqlite3_stmt* row) {
        const unsigned char* cell = sqlite3_column_text(row, 0);
        text = cell ? reinterpret_cast<const char*>(cell) : "(null)";
    });
    return text;
}

void DbTest::RawExecute(const std::string& sql) {
    RawQuery(HostPath(), sql, [](sqlite3_stmt*) {});
}

}  // namespace qf::test
