// The feed update against a real database: what a first load stores, how items are recognised, the
// purge, keyword views, extended pages and enclosures.
#include "download/feed_update.h"

#include <gtest/gtest.h>

#include "download/download_fixture.h"

namespace qf::test {
namespace {

struct QueuedPage {
    std::u16string url;
    std::int32_t item_id;
    std::u16string title;
};

class RecordingQueue : public PageQueue {
  public:
    void AddPageEntry(const std::u16string& url, std::int32_t, std::int32_t item_id,
                      const std::u16string& title) override {
        pages.push_back({url, item_id, title});
    }
    std::vector<QueuedPage> pages;
};

class FeedUpdate : public DownloadTest {
  protected:
    FeedUpdateReport Update(std::int32_t feed, const std::string& text, AutoPurge purge = AutoPurge::kOff) {
        FeedUpdateReport report;
        EXPECT_TRUE(UpdateFeed(db_, feed, WriteFile("feed.xml", text), &queue_, purge, &report));
        return report;
    }
    std::string Feed(std::int32_t feed, const std::string& column) {
        return Text("select " + column + " from Feeds where FeedID = " + std::to_string(feed));
    }

    RecordingQueue queue_;
};

std::vector<FeedItemText> Numbered(int first, int count) {
    std::vector<FeedItemText> items;
    for (int i = first + count - 1; i >= first; --i) {
        std::string n = std::to_string(i);
        items.push_back({"Story " + n, "guid-" + n, "", "http://example.com/" + n, "About widgets " + n,
                         "http://example.com/audio/" + n + ".mp3"});
    }
    return items;
}

TEST_F(FeedUpdate, FirstLoadThenUnchangedFiles) {
    std::int32_t feed = AddFeed("http://x/feed.xml");
    std::vector<FeedItemText> items = {
        {"First &amp;amp; &lt;b&gt;best&lt;/b&gt;", "g1", "", "http://example.com/1", "One", ""},
        {"Dated", "", "Tue, 03 Jan 2006 11:00:00 GMT", "", "", ""},
        {"Linked", "", "", "http://example.com/3?a=1&amp;b=2", "Three", ""},
    };
    std::string text = Rss(items, "Mon, 02 Jan 2006 10:00:00 GMT");
    FeedUpdateReport first = Update(feed, text);
    EXPECT_EQ(std::pair(first.outcome, first.new_items), std::pair(FeedOutcome::kStored, 3));
    EXPECT_EQ(Feed(feed, "Title || '|' || Description1 || '|' || Status"), "Feed & Co|About it|2");
    EXPECT_EQ(Feed(feed, "LastDigestKey"), WideToUtf8(FileDigest(u"\\feed.xml")));
    EXPECT_EQ(Feed(feed, "strftime('%Y-%m-%d %H:%M', LastFeedDate)"), "2006-01-02 10:00");
    // Keys: the guid, else the date text, else the cleaned link; the first item gets the largest id.
    EXPECT_EQ(
        Text("select group_concat(GUID, '|') from (select GUID from FeedItems order by FeedItemID desc)"),
        "g1|Tue, 03 Jan 2006 11:00:00 GMT|http://example.com/3?a=1&b=2");
    EXPECT_EQ(Text("select Title from FeedItems where GUID = 'g1'"), "First & best");
    EXPECT_EQ(Text("select strftime('%Y-%m-%d %H:%M', ItemDate) from FeedItems where Title = 'Dated'"),
              "2006-01-03 11:00");
    EXPECT_EQ(Count("select count(*) from FeedItemShortData"), 2);  // the empty description stores nothing
    EXPECT_EQ(Count("select count(*) from FeedItems where Status = 1"), 3);
    std::string downloaded = Feed(feed, "LastDownloadDate");

    EXPECT_EQ(Update(feed, text).outcome, FeedOutcome::kSameDigest);
    items.push_back({"Later", "g4", "", "", "", ""});
    EXPECT_EQ(Update(feed, Rss(items, "Mon, 02 Jan 2006 10:00:00 GMT")).outcome, FeedOutcome::kSameFeedDate);
    EXPECT_EQ(Feed(feed, "LastDownloadDate"), downloaded);
    EXPECT_EQ(Update(feed, Rss(items, "Mon, 02 Jan 2006 12:00:00 GMT")).new_items, 1);
    EXPECT_EQ(Count("select count(*) from FeedItems"), 4);
}

TEST_F(FeedUpdate, ItemsAreKnownByKeyAndTitleAndLongDescriptionsAreStoredInChunks) {
    std::int32_t feed = AddFeed("http://x/feed.xml");
    // The same guid with another title is another item; one with nothing to know it by is stored again.
    std::vector<FeedItemText> items = {{"It's here", "g1", "", "", "", ""},
                                       {"Other", "g1", "", "", "", ""},
                                       {"Nameless", "", "", "", "", ""}};
    EXPECT_EQ(Update(feed, Rss(items)).new_items, 3);
    items[1].title = "Other, retitled";
    EXPECT_EQ(Update(feed, Rss(items)).new_items, 2);
    EXPECT_EQ(Count("select count(*) from FeedItems where Title = 'It''s here'"), 1);
    EXPECT_EQ(Count("select count(*) from FeedItems where Title = 'Nameless'"), 2);

    // Long descriptions are stored in chunks.
    Update(feed, Rss({{"Long", "g-long", "", "", std::string(70000, 'd'), ""}}));
    EXPECT_EQ(Text("select group_concat(LinkOrder || ':' || length(TextData), ' ') from "
                   "(select * from FeedItemShortData order by LinkOrder)"),
              "1:31999 2:31999 3:6002");
}

TEST_F(FeedUpdate, PurgeKeepsTheNewestAndTheKept) {
    ViewRecord view;
    view.label = u"Widgets";
    for (auto [id, keywords] : {std::pair(7, u" , WiDGet ,, zzz"), std::pair(8, u"nothing like it")}) {
        view.view_id = id, view.keywords = keywords;
        ASSERT_TRUE(db_.AddView(view));
    }
    std::int32_t feed = AddFeed("http://x/feed.xml", 10, true, true);

    // The 15 oldest of 25 new items would be purged at once: they are never written.
    FeedUpdateReport first = Update(feed, Rss(Numbered(1, 25)));
    EXPECT_EQ(std::pair(first.new_items, first.purged_items), std::pair(10, 0));
    for (const char* table : {"FeedItems", "FeedItemShortData", "FeedItemAudioData", "ViewFeedItems"})
        EXPECT_EQ(Count(std::string("select count(*) from ") + table), 10) << table;
    EXPECT_EQ(Count("select count(*) from ViewFeedItems where ViewID = 7"), 10);
    EXPECT_EQ(Text("select min(Title) from FeedItems"), "Story 16");
    EXPECT_EQ(Text("select Link || ' ' || Size || ' ' || Status from FeedItemAudioData where FeedItemID = "
                   "(select FeedItemID from FeedItems where Title = 'Story 25')"),
              "http://example.com/audio/25.mp3 3000 0");
    ASSERT_EQ(queue_.pages.size(), 10u);
    EXPECT_EQ(queue_.pages[0].url, u"http://example.com/16");
    EXPECT_EQ(queue_.pages[9].title, u"Extended Data (10) for: Feed 101");

    // A kept item is neither counted nor purged.
    EXPECT_TRUE(db_.SetItemStatus(
        std::stoi(Text("select FeedItemID from FeedItems where Title = 'Story 16'")), kItemKept));
    EXPECT_EQ(Update(feed, Rss(Numbered(26, 5))).purged_items, 4);
    EXPECT_EQ(Count("select count(*) from FeedItems where Status <> 3"), 10);
    EXPECT_EQ(Count("select count(*) from FeedItems where Title = 'Story 16'"), 1);
    for (const char* table : {"FeedItemShortData", "FeedItemAudioData", "ViewFeedItems"})
        EXPECT_EQ(Count(std::string("select count(*) from ") + table), 11) << table;

    // Purging by presence drops every unkept item that the file no longer holds.
    EXPECT_EQ(Update(feed, Rss(Numbered(29, 2)), AutoPurge::kOn).purged_items, 8);
    EXPECT_EQ(Text("select group_concat(Title, '|') from (select Title from FeedItems order by Title)"),
              "Story 16|Story 29|Story 30");
}

TEST_F(FeedUpdate, ExtendedPagesEnclosureStatusAndWhatIsNotAFeed) {
    std::int32_t feed = AddFeed("http://x/feed.xml", 50, false, true);
    Update(feed, Rss({{"Audio", "g", "", "", "", "http://example.com/a.mp3"}}));
    std::int32_t item = std::stoi(Text("select FeedItemID from FeedItems"));
    std::u16string page =
        WriteFile("page.htm", "<p><a href=\"more.htm\">more</a></p>" + std::string(40000, 'p'));
    EXPECT_TRUE(StoreExtendedText(db_, feed, item, page, u"http://example.com/news/item.htm"));
    EXPECT_TRUE(StoreExtendedText(db_, feed, item, u"\\missing.htm", u"http://example.com/"));
    EXPECT_EQ(Count("select count(*) from FeedItemLongData"), 2);
    EXPECT_EQ(Text("select substr(TextData, 1, 50) from FeedItemLongData where LinkOrder = 1"),
              "<p><a href=\"http://example.com/news/more.htm\">more");
    EXPECT_TRUE(SetAudioStatus(db_, item, 1));
    EXPECT_EQ(Count("select Status from FeedItemAudioData"), 1);

    // What is not a feed writes nothing.
    feed = AddFeed("http://x/other.xml");
    FeedUpdateReport report;
    EXPECT_FALSE(UpdateFeed(db_, feed, WriteFile("page.htm", "<html><body>Not found</body></html>"), nullptr,
                            AutoPurge::kOff, &report));
    EXPECT_EQ(report.outcome, FeedOutcome::kNotAFeed);
    EXPECT_EQ((std::pair{UpdateFeed(db_, feed, u"\\missing.xml", nullptr, AutoPurge::kOff, &report),
                         report.parse_status}),
              std::pair(false, FeedParseStatus::kUnreadable));
    EXPECT_EQ(Feed(feed, "LastDigestKey"), "");
    EXPECT_EQ(FileDigest(WriteFile("abc", "abc")), u"900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace qf::test
