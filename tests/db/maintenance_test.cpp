#include <filesystem>
#include <fstream>

#include "db_fixture.h"

namespace qf::test {
namespace {

using MaintenanceTest = DbTest;

TEST_F(MaintenanceTest, ItemStatusChangesFollowTheKeepRule) {
    struct Row {
        std::int16_t from;
        std::int16_t to;
        std::int16_t keep_before;
        std::int16_t keep_after;
    };
    const Row table[] = {
        {kItemKept, kItemRead, 1, 0},    // leaving "kept" clears Keep
        {kItemUnread, kItemRead, 1, 1},  // other changes leave it alone
        {kItemRead, kItemKept, 0, 1},    // becoming "kept" sets it
        {kItemKept, kItemKept, 0, 1},   {kItemRead, kItemUnread, 0, 0},
    };
    AddFeed(1, u"Feed");
    std::int32_t id = 0;
    for (const Row& row : table) {
        ++id;
        SCOPED_TRACE(::testing::Message() << row.from << " -> " << row.to);
        AddItem(id, 1, u"item", Date(2006, 1, 1), row.from);
        AddText(id, 1, 1, u"a", false, row.keep_before);
        AddText(id, 1, 2, u"b", false, row.keep_before);
        AddText(id, 1, 1, u"page", true, row.keep_before);
        ASSERT_TRUE(db_.SetItemStatus(id, row.to));
        std::string where = " Where FeedItemID = " + std::to_string(id);
        EXPECT_EQ(Count("Select Status From FeedItems" + where), row.to);
        EXPECT_EQ(Count("Select count(*) From FeedItemShortData" + where +
                        " And Keep = " + std::to_string(row.keep_after)),
                  2);
        EXPECT_EQ(Count("Select Keep From FeedItemLongData" + where), row.keep_after);
    }
}

class AudioTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        db_.set_audio_folder(u"\\Audio");
        AddFeed(5, u"Talk");
        AddFeed(6, u"Music");
        AddItem(51, 5, u"first");
        AddItem(52, 5, u"second");
        AddItem(61, 6, u"song");
        AddText(51, 5, 1, u"text");
        Execute(u"Insert Into ViewFeedItems(ViewID,FeedID,FeedItemID,Priority) Values(1,5,51,0)");
        AddAudio(51, 5, u"talk1.mp3");
        AddAudio(52, 5, u"talk2.mp3");
        AddAudio(61, 6, u"song.mp3");
        std::filesystem::create_directories(device_.HostPath("Audio/5"));
    }
    void AddAudio(std::int32_t item_id, std::int32_t feed_id, const std::u16string& file) {
        std::u16string item = std::u16string(1, u'0' + item_id / 10) + std::u16string(1, u'0' + item_id % 10);
        std::u16string feed(1, u'0' + feed_id);
        Execute(u"Insert Into FeedItemAudioData(FeedItemID,FeedID,Link,Size,Status,Keep) Values(" + item +
                u"," + feed + u",'http://example.com/" + file + u"',2048,1,0)");
        std::string folder = feed_id == 5 ? "Audio/Talk" : "Audio/Music";
        std::filesystem::create_directories(device_.HostPath(folder));
        std::ofstream(device_.HostPath(folder + "/" + WideToUtf8(file))) << "ID3";
    }
    bool AudioExists(const std::string& relative) {
        return std::filesystem::exists(device_.HostPath(relative));
    }
};

TEST_F(AudioTest, DeletingAFeedRemovesItsRowsMembershipsAndAudioFiles) {
    ASSERT_TRUE(db_.SetFeedViews(5, {1, 2}));
    ASSERT_TRUE(db_.SetFeedViews(6, {1}));
    Execute(u"Insert Into SubscriptionFeeds(SubscriptionID,FeedID) Values(7,5)");
    ASSERT_TRUE(db_.DeleteFeed(5));
    EXPECT_FALSE(AudioExists("Audio/Talk/talk1.mp3"));
    EXPECT_FALSE(AudioExists("Audio/Talk/talk2.mp3"));
    EXPECT_FALSE(AudioExists("Audio/5")) << "the folder named by the feed id";
    EXPECT_TRUE(AudioExists("Audio/Music/song.mp3"));
    EXPECT_EQ(RowCounts({"Feeds", "FeedItems", "FeedItemAudioData", "ViewFeeds", "FeedItemShortData",
                         "ViewFeedItems", "SubscriptionFeeds"}),
              "Feeds=1 FeedItems=1 FeedItemAudioData=1 ViewFeeds=1 FeedItemShortData=0 ViewFeedItems=0 "
              "SubscriptionFeeds=0");
    EXPECT_EQ(*db_.ViewsOfFeed(6), std::vector<std::int32_t>{1});
}

// Its feeds go as DeleteFeed takes them; its own view goes, What's New never.
TEST_F(AudioTest, DeletingASubscriptionTakesItsViewFeedsAndAudioFiles) {
    SubscriptionRecord subscription = NewSubscriptionRecord();
    subscription.subscription_id = 70;
    subscription.title = u"News &amp; more";
    std::int32_t view_id = db_.AddSubscription(subscription, SubscriptionView::kOwnView).value_or(0);
    ASSERT_GT(view_id, 2);
    EXPECT_EQ(db_.LoadView(view_id)->label, u"News & more");
    EXPECT_EQ(db_.LoadSubscription(70)->title, u"News & more");
    Execute(u"Insert Into SubscriptionFeeds(SubscriptionID,FeedID) Values(70,5)");
    ASSERT_TRUE(db_.SetFeedViews(5, {view_id}));
    ASSERT_TRUE(db_.DeleteSubscription(70));
    EXPECT_FALSE(db_.LoadSubscription(70));
    EXPECT_FALSE(db_.LoadView(view_id));
    EXPECT_FALSE(AudioExists("Audio/Talk/talk1.mp3"));
    EXPECT_FALSE(AudioExists("Audio/5"));
    EXPECT_TRUE(AudioExists("Audio/Music/song.mp3"));
    EXPECT_EQ(RowCounts({"Feeds", "FeedItems", "FeedItemAudioData", "ViewFeeds", "SubscriptionFeeds"}),
              "Feeds=1 FeedItems=1 FeedItemAudioData=1 ViewFeeds=0 SubscriptionFeeds=0");
    EXPECT_EQ(*db_.AddSubscription(subscription, SubscriptionView::kWhatsNew), 1);
    ASSERT_TRUE(db_.DeleteSubscription(subscription.subscription_id));
    EXPECT_TRUE(db_.LoadView(1));
}

TEST_F(AudioTest, ClearingAFeedResetsItForAFreshDownload) {
    Execute(u"Update Feeds Set Status = 7, LastDigestKey = 'abc' Where FeedID = 5");
    ASSERT_TRUE(db_.ClearFeed(5));
    EXPECT_EQ(Text("Select Status||'|'||LastDigestKey||'|'||substr(LastDownloadDate,1,10)||'|'||"
                   "substr(LastFeedDate,1,10) From Feeds Where FeedID = 5"),
              "2||1900-01-01|1900-01-01");
    EXPECT_EQ(Text("Select group_concat(FeedID) From FeedItems"), "6");
    EXPECT_FALSE(AudioExists("Audio/Talk/talk1.mp3"));
    EXPECT_TRUE(AudioExists("Audio/5")) << "clearing removes no folder";
    DbResult<FeedRecord> feed = db_.LoadFeed(5);
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->last_feed_date.wYear, 1900);
}

TEST_F(AudioTest, DeletingAnItemRemovesTheAudioFileOfTheGivenList) {
    ASSERT_TRUE(db_.DeleteItem(52, {})) << "an empty audio list names no file";
    EXPECT_TRUE(AudioExists("Audio/Talk/talk2.mp3"));
    DbResult<std::vector<AudioRecord>> audio = db_.LoadAudio(1);
    ASSERT_TRUE(audio);
    ASSERT_TRUE(db_.DeleteItem(51, *audio));
    EXPECT_FALSE(AudioExists("Audio/Talk/talk1.mp3"));
    ASSERT_TRUE(db_.DeleteItemAudio(61, *audio));
    EXPECT_FALSE(AudioExists("Audio/Music/song.mp3"));
    EXPECT_EQ(RowCounts({"FeedItems", "FeedItemAudioData", "ViewFeedItems"}),
              "FeedItems=1 FeedItemAudioData=0 ViewFeedItems=0")
        << "only the item's audio row went";
}

TEST_F(AudioTest, StoredNamesNeverReachOutsideTheFeedsFolder) {
    // A feed titled ".." whose audio link names the database: joined as they stand, the two would climb
    // out of the audio folder onto the database file itself.
    AddFeed(9, u"..");
    AddItem(91, 9, u"hostile");
    AddItem(92, 9, u"hostile too");
    Execute(
        u"Insert Into FeedItemAudioData(FeedItemID,FeedID,Link,Size,Status,Keep) Values(91,9,"
        u"'http://example.com/db.cdb',2048,1,0),(92,9,'x/..',2048,1,0)");
    std::filesystem::create_directories(device_.HostPath("Audio/_"));
    std::ofstream(device_.HostPath("Audio/_/db.cdb")) << "ID3";
    ASSERT_TRUE(db_.DeleteFeed(9));
    EXPECT_TRUE(std::filesystem::exists(HostPath())) << "the database survives";
    EXPECT_FALSE(AudioExists("Audio/_/db.cdb")) << "the file in the feed's own folder went";
    EXPECT_TRUE(AudioExists("Audio/Talk/talk1.mp3"));
    EXPECT_TRUE(db_.LoadFeed(5));
}

TEST_F(AudioTest, DeletingAllItemsResetsEveryFeedAndCompacts) {
    Execute(u"Update Feeds Set Status = 1 Where FeedID = 6");
    Execute(u"Update Feeds Set Status = 9, LastDigestKey = 'x' Where FeedID = 5");
    AddFeed(7, u"Deleted", 1, 0);
    ASSERT_TRUE(db_.DeleteAllItems());
    EXPECT_EQ(
        Text("Select group_concat(FeedID||':'||Status||':'||LastDigestKey||':'||substr(LastFeedDate,1,4)) "
             "From Feeds"),
        "5:2::1900,6:1::1900,7:0::1900")
        << "a deleted feed stays deleted";
    EXPECT_EQ(RowCounts({"ViewFeedItems", "FeedItems", "FeedItemShortData", "FeedItemLongData",
                         "FeedItemAudioData"}),
              "ViewFeedItems=0 FeedItems=0 FeedItemShortData=0 FeedItemLongData=0 FeedItemAudioData=0");
    EXPECT_FALSE(db_.connected()) << "closed by the compaction";
    EXPECT_FALSE(std::filesystem::exists(device_.HostPath("rss1029102Temp.qfdb")));
    EXPECT_TRUE(db_.LoadView(1)) << "and connected again on demand";
}

TEST_F(MaintenanceTest, RecordUpdatesChangeOnlyTheirColumns) {
    AddView(10, u"Label");
    ViewRecord view = *db_.LoadView(10);
    view.label = u"Ignored";
    view.num_to_show = 12;
    view.hide_read = true;
    view.keywords = u"kiwi";
    ASSERT_TRUE(db_.UpdateViewRecord(view));
    ViewRecord stored = *db_.LoadView(10);
    EXPECT_EQ(std::tuple(stored.label, stored.num_to_show, stored.hide_read, stored.is_keyword_view),
              std::tuple(std::u16string(u"Label"), 12, true, true));

    AddFeed(1, u"Title");
    FeedRecord feed = *db_.LoadFeed(1);
    feed.title = u"Ignored";
    feed.feed_url = u"http://example.com/rss";
    feed.max_items = 9;
    feed.extended_audio = true;
    ASSERT_TRUE(db_.UpdateFeedRecord(feed));
    ASSERT_TRUE(db_.SetFeedStatus(1, 1));
    EXPECT_EQ(Text("Select Title||','||FeedUrl||','||MaxItems||','||ExtendedAudio||','||Status From Feeds"),
              "Title,http://example.com/rss,9,1,1");

    AddItem(5, 1, u"item", Date(2006, 1, 1), kItemKept);
    AddText(5, 1, 1, u"text", false, 1);
    ItemRecord item = *db_.LoadItem(5);
    item.status = kItemRead;
    item.keywords = u"tagged";
    item.title = u"Ignored";
    ASSERT_TRUE(db_.UpdateItemRecord(item));
    ItemRecord stored_item = *db_.LoadItem(5);
    EXPECT_EQ(std::tuple(stored_item.status, stored_item.keywords, stored_item.title),
              std::tuple(std::int16_t{kItemRead}, std::u16string(u"tagged"), std::u16string(u"item")));
    EXPECT_EQ(Count("Select Keep From FeedItemShortData"), 1) << "no Keep rule here";
}

TEST_F(MaintenanceTest, MembershipsAreReplacedAsAWhole) {
    AddView(10, u"Ten");
    AddView(11, u"Eleven");
    ASSERT_TRUE(db_.SetViewFeeds(10, {1, 2, 3}));
    ASSERT_TRUE(db_.SetViewFeeds(10, {4, 5, 4, 4}));
    EXPECT_EQ(Count("Select count(*) From ViewFeeds Where ViewID = 10"), 2)
        << "a repeated feed is stored once";
    ASSERT_TRUE(db_.SetFeedViews(4, {11, 11}));
    EXPECT_EQ(Text("Select group_concat(ViewID||':'||FeedID||':'||Priority) From ViewFeeds"),
              "10:5:0,11:4:0");
    ASSERT_TRUE(db_.SetFeedViews(5, {}));
    ASSERT_TRUE(db_.DeleteView(11));
    EXPECT_EQ(Count("Select count(*) From ViewFeeds"), 0);
    EXPECT_FALSE(db_.LoadView(11));
    ASSERT_TRUE(db_.ClearViewMemberships(10));
    EXPECT_TRUE(db_.LoadView(10));
    EXPECT_FALSE(db_.DeleteView(1) || db_.DeleteView(2));
    EXPECT_TRUE(db_.LoadView(1) && db_.LoadView(2)) << "the built-in views stay";
}

}  // namespace
}  // namespace qf::test
