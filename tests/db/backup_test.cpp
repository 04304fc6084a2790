#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "db_fixture.h"
#include "parse/dates.h"
#include "qfdevice/device.h"

namespace qf::test {
namespace {

class BackupTest : public DbTest {
  protected:
    void WriteFile(const std::string& relative, const std::string& bytes) {
        std::ofstream(device_.HostPath(relative), std::ios::binary) << bytes;
    }

    // A configuration with one of everything the file holds.
    void AddConfiguration() {
        AddView(10, u"Tom's <news> \u00e9t\u00e9", 20, 2, u"apple,\"pie\"", true, 3);
        SubscriptionRecord subscription = NewSubscriptionRecord();
        subscription.subscription_id = 30;
        subscription.title = u"Sub";
        subscription.subscription_url = u"http://example.com/list.opml";
        subscription.is_from_file = true;
        ASSERT_EQ(*db_.AddSubscription(subscription, SubscriptionView::kWhatsNew), 1);
        FeedRecord feed = NewFeedRecord();
        feed.feed_id = 20;
        feed.title = u"Feed";
        feed.feed_url = u"http://example.com/rss?a=1&b=2";
        feed.priority = 3;
        feed.reload_frequency = 60;
        feed.read_after = 7;
        feed.max_items = 40;
        feed.extended_audio = true;
        ASSERT_TRUE(db_.AddFeed(feed, 10, 30));
        feed.feed_id = 21;
        feed.title = u"Second";
        feed.extended_audio = false;
        ASSERT_TRUE(db_.AddFeed(feed, 1, 0));
    }
};

// The file with every identifier replaced by the order of its first appearance.
std::string WithoutIds(const std::string& file) {
    static const std::regex id(R"re(((?:id|ID)=")(\d+)")re");
    std::map<std::string, int> names;
    std::string out;
    auto begin = std::sregex_iterator(file.begin(), file.end(), id);
    size_t copied = 0;
    for (auto match = begin; match != std::sregex_iterator(); ++match) {
        auto [entry, added] = names.emplace((*match)[2].str(), static_cast<int>(names.size()));
        out += file.substr(copied, match->position(2) - copied) + "#" + std::to_string(entry->second);
        copied = match->position(2) + match->length(2);
    }
    return out + file.substr(copied);
}

TEST_F(BackupTest, ExportWritesTheFileLineByLineAndImportsGiveItBackWithNewIds) {
    AddConfiguration();
    ASSERT_TRUE(db_.Export(u"\\backup.xml"));
    EXPECT_EQ(
        device_.ReadFile("backup.xml"),
        "<qfbk version=\"2.0\">\r\n  <views>\r\n  <view id=\"10\" label=\"Tom&#039;s &lt;news&gt; "
        "\xc3\xa9t\xc3\xa9\" readAfter=\"5\" hideAfter=\"3\" numToShow=\"20\" hideRead=\"1\" skipRead=\"1\" "
        "sortBy=\"2\" keywords=\"apple,&quot;pie&quot;\" />\r\n  </views>\r\n  <subscriptions>\r\n"
        "  <subscription id=\"30\" label=\"Sub\" url=\"http://example.com/list.opml\" isFile=\"1\" />\r\n"
        "  </subscriptions>\r\n  <feeds>\r\n  <feed id=\"20\" label=\"Feed\" url=\"http://example.com/rss?"
        "a=1&b=2\" priority=\"3\" reload=\"60\" readAfter=\"7\" maxItems=\"40\" extendedData=\"0\" "
        "extendedAudio=\"1\" />\r\n  <feed id=\"21\" label=\"Second\" url=\"http://example.com/rss?a=1&b=2\" "
        "priority=\"3\" reload=\"60\" readAfter=\"7\" maxItems=\"40\" extendedData=\"0\" extendedAudio=\"0\" "
        "/>\r\n  </feeds>\r\n  <viewFeeds>\r\n"
        "  <viewFeed viewID=\"1\" feedID=\"21\" />\r\n  <viewFeed viewID=\"10\" feedID=\"20\" />\r\n"
        "  </viewFeeds>\r\n  <subscriptionFeeds>\r\n"
        "  <subscriptionFeed subscriptionID=\"30\" feedID=\"20\" />\r\n  </subscriptionFeeds>\r\n"
        "</qfbk>\r\n");
    {
        SCOPED_TRACE("into a fresh database");
        FeedDatabase fresh;
        ASSERT_TRUE(fresh.Create(u"\\fresh.cdb", OverwritePrompt::kAsk, DefaultViews::kCreate));
        ASSERT_EQ(fresh.Open(u"\\fresh.cdb", MissingMessage::kHide), OpenResult::kReady);
        ASSERT_TRUE(fresh.Import(u"\\backup.xml"));
        ASSERT_TRUE(fresh.Export(u"\\second.xml"));
        std::string first = device_.ReadFile("backup.xml");
        std::string second = device_.ReadFile("second.xml");
        EXPECT_NE(first, second) << "the rows have new identifiers";
        // The membership of view 1 names a view that was not exported, so it is dropped on import.
        std::string expected = std::regex_replace(
            WithoutIds(first), std::regex(R"re(  <viewFeed viewID="#4" feedID="#\d+" />\r\n)re"), "");
        EXPECT_EQ(WithoutIds(second), expected);
        EXPECT_FALSE(fresh.locked());
    }
    SCOPED_TRACE("twice into the same one");
    ASSERT_TRUE(db_.Import(u"\\backup.xml"));
    ASSERT_TRUE(db_.Import(u"\\backup.xml"));
    // Views, distinct views, distinct feeds, What's New subscriptions, memberships, copies of the label.
    EXPECT_EQ(
        Text("Select (Select count(*) From Views)||','||(Select count(distinct ViewID) From Views)||','||"
             "(Select count(distinct FeedID) From Feeds)||','||"
             "(Select count(*) From Subscriptions Where ViewID = 1)||','||(Select count(*) From ViewFeeds)||"
             "','||(Select count(*) From SubscriptionFeeds)||','||"
             "(Select count(*) From Views Where Label = 'Tom''s <news> \xc3\xa9t\xc3\xa9')"),
        "5,5,6,3,4,3,3");
}

TEST_F(BackupTest, OnlyTheDefaultViewsGiveAnEmptyViewsElement) {
    ASSERT_TRUE(db_.Export(u"\\empty.xml"));
    EXPECT_EQ(device_.ReadFile("empty.xml").substr(0, 45),
              "<qfbk version=\"2.0\">\r\n  <views>\r\n  </views>\r\n");
    EXPECT_FALSE(db_.Export(u"\\no such folder\\x.xml"));
}

TEST_F(BackupTest, AbsentAttributesTakeTheirDefaults) {
    WriteFile("hand.xml",
              "<qfbk version=\"2.0\"><views><view id=\"4\" label=\"Bare\" /><other id=\"5\" /></views>"
              "<feeds><feed id=\"1\" label=\"No read-after\" url=\"http://a\" />"
              "<feed id=\"2\" label=\"Zero\" readAfter=\"0\" priority=\"2\" /></feeds>"
              "<viewFeeds><viewFeed viewID=\"4\" feedID=\"2\" /><viewFeed viewID=\"4\" feedID=\"9\" />"
              "<viewFeed viewID=\"1\" feedID=\"1\" /></viewFeeds></qfbk>");
    ASSERT_TRUE(db_.Import(u"\\hand.xml"));
    EXPECT_EQ(Text("Select ReadAfter||','||HideAfter||','||NumToShow||','||HideRead||','||DPadSkipRead||','||"
                   "Status From Views Where Label = 'Bare'"),
              "0,0,0,0,0,2");
    EXPECT_EQ(Text("Select group_concat(Title||':'||ReadAfter||':'||Priority||':'||Status) From Feeds"),
              "No read-after:5:0:2,Zero:0:2:2");
    EXPECT_EQ(Text("Select Priority From ViewFeeds"), "2");
    EXPECT_EQ(Count("Select count(*) From ViewFeeds"), 1) << "memberships of ids not imported are dropped";
}

TEST_F(BackupTest, OutOfRangeNumbersAreClampedOrTheirElementSkipped) {
    WriteFile("wide.xml",
              "<qfbk version=\"2.0\"><views><view id=\"4\" label=\"Wide\" numToShow=\"70000\" "
              "hideAfter=\"-99999\" /><view id=\"99999999999\" label=\"Huge id\" /></views>"
              "<feeds><feed id=\"2147483648\" label=\"Huge id\" /><feed id=\"2147483647\" label=\"Max\" "
              "priority=\"4294967298\" /></feeds>"
              "<viewFeeds><viewFeed viewID=\"4\" feedID=\"2147483647\" />"
              "<viewFeed viewID=\"4\" feedID=\"2147483648\" /><viewFeed viewID=\"4\" feedID=\"2147483647\" />"
              "</viewFeeds></qfbk>");
    DbResult<std::vector<std::u16string>> notes = db_.Import(u"\\wide.xml");
    ASSERT_TRUE(notes);
    EXPECT_EQ(Text("Select NumToShow||','||HideAfter From Views Where Label = 'Wide'"), "32767,-32768");
    EXPECT_EQ(Text("Select group_concat(Title||':'||Priority) From Feeds"), "Max:32767");
    EXPECT_EQ(Count("Select count(*) From Views"), 3) << "the view with an id past 32 bits is skipped";
    EXPECT_EQ(Count("Select count(*) From ViewFeeds"), 1) << "once, and only for the feed imported";
    ASSERT_EQ(notes->size(), 6u);
    EXPECT_EQ((*notes)[0], u"view 4: hideAfter=\"-99999\" is out of range; stored -32768");
}

// Ids are taken under the lock from the table itself, whatever the clock says and whatever rows other
// writers (or an import ahead of the clock) put there.
TEST_F(BackupTest, NewRowsGetUnusedPositiveIds) {
    device::PinClock(SYSTEMTIME{2000, 6, 4, 1, 0, 0, 0, 0});  // before 2001: the source is negative
    ViewRecord early;
    ASSERT_TRUE(db_.AddView(early));
    EXPECT_EQ(early.view_id, 3);
    device::PinClock(SYSTEMTIME{2024, 5, 5, 3, 9, 0, 0, 0});
    const int next = UniqueNumber() + 1;  // what the source hands out next, while the clock stands
    for (int i = 0; i < 5; ++i)
        Execute(u"Insert Into Feeds(FeedID) Values(" + Utf8ToWide(std::to_string(next + i)) + u")");
    std::set<std::int32_t> ids;
    for (int i = 0; i < 3; ++i) {
        FeedRecord feed = NewFeedRecord();
        ASSERT_TRUE(db_.AddFeed(feed, 0, 0));
        ids.insert(feed.feed_id);
    }
    device::UnpinClock();
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(Count("Select count(*) - count(distinct FeedID) From Feeds"), 0);
    EXPECT_GT(*ids.begin(), 0);
}

TEST_F(BackupTest, AnotherVersionImportsNothing) {
    WriteFile("old.xml",
              "<qfbk version=\"1.0\">\r\n  <views>\r\n  <view id=\"5\" label=\"Old\" />\r\n  "
              "</views>\r\n</qfbk>\r\n");
    WriteFile("other.xml", "<backup version=\"2.0\"><views><view id=\"5\" label=\"Old\" /></views></backup>");
    EXPECT_EQ(db_.Import(u"\\old.xml").error(), DbError::kRefused);
    EXPECT_FALSE(db_.Import(u"\\other.xml"));
    EXPECT_FALSE(db_.Import(u"\\missing.xml"));
    EXPECT_EQ(Count("Select count(*) From Views"), 2);
    EXPECT_FALSE(db_.locked());
}

TEST_F(BackupTest, LongDescriptionsAndLinksAreSplitAndCleaned) {
    FeedRecord feed = NewFeedRecord();
    feed.feed_id = 5;
    feed.title = u"Fish &amp;amp; <b>Chips</b>";
    feed.feed_url = u"<![CDATA[http://example.com/?a=1&amp;b=2]]>";
    feed.description = std::u16string(255, u'a') + std::u16string(45, u'b');
    ASSERT_TRUE(db_.AddFeed(feed, 0, 0));
    EXPECT_EQ(
        Text("Select length(Description1)||','||length(Description2)||','||substr(Description2,1,1)||','||"
             "Title||','||FeedUrl From Feeds"),
        "255,45,b,Fish & Chips,http://example.com/?a=1&b=2");
    EXPECT_EQ(db_.LoadFeed(5)->description.size(), 300u);
}

}  // namespace
}  // namespace qf::test
