#include "db_fixture.h"

#include <sqlite3.h>

#include <cstdio>

#include "qfdevice/device.h"
#include "qfdevice/shell_hooks.h"
#include "shared/adoclass31.h"
#include "shared/sql_text.h"

namespace qf::test {

MessageBoxRecorder::MessageBoxRecorder(int answer) {
    qf::device::SetMessageBoxHook(
        [this, answer](HWND, const std::u16string& text, const std::u16string& caption, UINT type) {
            shown_.push_back({text, caption, type & 0xF});
            return answer;
        });
}

MessageBoxRecorder::~MessageBoxRecorder() { qf::device::SetMessageBoxHook({}); }

void DbTest::SetUp() {
    ASSERT_TRUE(db_.Create(kPath, OverwritePrompt::kAsk, DefaultViews::kCreate));
    ASSERT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kReady);
}

namespace {

std::u16string Number(long long value) { return Utf8ToWide(std::to_string(value)); }

std::u16string DateLiteral(const SYSTEMTIME& date) {
    char text[48];
    std::snprintf(text, sizeof text, "'%04u-%02u-%02u %02u:%02u:%02u'", date.wYear, date.wMonth, date.wDay,
                  date.wHour, date.wMinute, date.wSecond);
    return Utf8ToWide(text);
}

}  // namespace

void DbTest::Insert(const std::u16string& into, std::initializer_list<std::u16string> values) {
    std::u16string sql = u"Insert Into " + into + u" Values(";
    for (const std::u16string& value : values) sql += (&value == values.begin() ? u"" : u",") + value;
    Execute(sql + u")");
}

void DbTest::AddFeed(std::int32_t feed_id, const std::u16string& title, std::int16_t priority,
                     std::int16_t status, SYSTEMTIME last_feed_date) {
    Insert(u"Feeds(FeedID,Title,Priority,Status,LastFeedDate,MaxItems)",
           {Number(feed_id), sql::Quote(title), Number(priority), Number(status), DateLiteral(last_feed_date),
            u"50"});
}

void DbTest::AddView(std::int32_t view_id, const std::u16string& label, std::int16_t num_to_show,
                     std::int16_t sort_by, const std::u16string& keywords, bool hide_read,
                     std::int16_t hide_after) {
    ViewRecord view{.view_id = view_id,
                    .label = label,
                    .hide_after = hide_after,
                    .num_to_show = num_to_show,
                    .hide_read = hide_read,
                    .sort_by = sort_by,
                    .keywords = keywords};
    ASSERT_TRUE(db_.AddView(view));
}

void DbTest::AddItem(std::int32_t item_id, std::int32_t feed_id, const std::u16string& title,
                     SYSTEMTIME item_date, std::int16_t status) {
    Insert(u"FeedItems(FeedItemID,FeedID,GUID,Title,LinkUrl,LinkUrl2,Status,ItemDate,DateEntered)",
           {Number(item_id), Number(feed_id), sql::Quote(title), sql::Quote(title),
            sql::Quote(u"http://example.com/" + title), u"''", Number(status), DateLiteral(item_date),
            DateLiteral(item_date)});
}

void DbTest::AddText(std::int32_t item_id, std::int32_t feed_id, std::int16_t link_order,
                     const std::u16string& text, bool long_text, std::int16_t keep) {
    Insert(std::u16string(long_text ? u"FeedItemLongData" : u"FeedItemShortData") +
               u"(FeedItemID,FeedID,LinkOrder,Keep,TextData)",
           {Number(item_id), Number(feed_id), Number(link_order), Number(keep), sql::Quote(text)});
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

std::string DbTest::RowCounts(std::initializer_list<const char*> tables) {
    std::string counts;
    for (const char* table : tables)
        counts += (counts.empty() ? "" : " ") + std::string(table) + "=" +
                  std::to_string(Count(std::string("Select count(*) From ") + table));
    return counts;
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
