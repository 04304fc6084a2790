#include "download/download_fixture.h"

#include <sqlite3.h>

#include <fstream>

namespace qf::test {

std::string Rss(const std::vector<FeedItemText>& items, const std::string& date) {
    std::string text =
        "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Feed &amp; Co</title>"
        "<link>http://example.com/</link><description>About it</description>";
    if (!date.empty()) text += "<lastBuildDate>" + date + "</lastBuildDate>";
    for (const FeedItemText& item : items) {
        text += "<item><title>" + item.title + "</title>";
        if (!item.guid.empty()) text += "<guid>" + item.guid + "</guid>";
        if (!item.date.empty()) text += "<pubDate>" + item.date + "</pubDate>";
        if (!item.link.empty()) text += "<link>" + item.link + "</link>";
        if (!item.enclosure.empty())
            text += "<enclosure url=\"" + item.enclosure + "\" length=\"3000\" type=\"audio/mpeg\"/>";
        text += "<description>" + item.description + "</description></item>";
    }
    return text + "</channel></rss>";
}

void DownloadTest::SetUp() {
    ASSERT_TRUE(db_.Create(kDatabase, OverwritePrompt::kOverwriteSilently, DefaultViews::kCreate));
    ASSERT_EQ(db_.Open(kDatabase, MissingMessage::kHide), OpenResult::kReady);
}

std::int32_t DownloadTest::AddFeed(const std::string& url, std::int16_t max_items, bool extended_data,
                                   bool extended_audio, std::int16_t status) {
    FeedRecord feed = NewFeedRecord();
    feed.feed_id = ++next_feed_id_;
    feed.title = u"Feed " + Utf8ToWide(std::to_string(feed.feed_id));
    feed.feed_url = Utf8ToWide(url), feed.max_items = max_items, feed.status = status;
    feed.extended_data = extended_data, feed.extended_audio = extended_audio;
    EXPECT_TRUE(db_.AddFeed(feed, 0, 0));
    return feed.feed_id;
}

std::u16string DownloadTest::WriteFile(const std::string& name, const std::string& text) {
    std::ofstream(device_.HostPath(name), std::ios::binary) << text;
    return Utf8ToWide("\\" + name);
}

void DownloadTest::Execute(const std::u16string& sql) {
    EXPECT_TRUE(db_.Run([&](AdoConnection& connection) { return connection.Execute(sql); }).value_or(false))
        << WideToUtf8(sql);
}

long long DownloadTest::Count(const std::string& sql) {
    std::string text = Text(sql);
    return text.empty() ? 0 : std::stoll(text);
}

std::string DownloadTest::Text(const std::string& sql) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(device_.HostPath("db.cdb").c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    std::string result;
    if (sqlite3_prepare_v2(raw, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr) {
        result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    EXPECT_NE(statement, nullptr) << sql;
    sqlite3_finalize(statement);
    sqlite3_close(raw);
    return result;
}

}  // namespace qf::test
