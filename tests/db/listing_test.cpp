#include <filesystem>
#include <fstream>

#include "db/listing_model.h"
#include "db_fixture.h"
#include "qfdevice/device.h"

namespace qf::test {
namespace {

// Builds listings through a ListingModel whose database is opened on the fixture's file.
class ListingTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        ASSERT_EQ(model_.database().Open(kPath, MissingMessage::kHide), OpenResult::kReady);
    }

    std::vector<std::int32_t> ListedIds() {
        std::vector<std::int32_t> ids;
        for (const ListingRow& row : model_.listing()) ids.push_back(row.item_id);
        return ids;
    }

    ListingModel model_;
};

TEST_F(ListingTest, EachFeedGetsItsShareOfTheView) {
    AddView(10, u"Three feeds", 75);
    for (int feed = 1; feed <= 3; ++feed) {
        AddFeed(feed, u"Feed " + std::u16string(1, u'0' + feed), static_cast<std::int16_t>(feed));
        for (int i = 1; i <= 100; ++i) AddItem(feed * 1000 + i, feed, u"item");
    }
    ASSERT_TRUE(db_.SetViewFeeds(10, {1, 2, 3}));
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    std::vector<std::int32_t> ids = ListedIds();
    ASSERT_EQ(ids.size(), 75u);
    EXPECT_EQ(std::tuple(ids[0], ids[24], ids[25], ids[74]), std::tuple(3100, 3076, 2100, 1076))
        << "highest priority first, newest id first";
    const ListingRow& first = model_.listing()[0];
    EXPECT_EQ(std::tuple(first.view_id, first.feed_title, first.feed_priority),
              std::tuple(10, std::u16string(u"Feed 3"), 3));
}

TEST_F(ListingTest, ManyFeedsAreListedFeedByFeedUpToTheTotal) {
    AddView(10, u"Many feeds", 75);
    std::vector<std::int32_t> feeds;
    for (int feed = 1; feed <= 100; ++feed) {
        AddFeed(feed, u"Feed", 1, 2, Date(2006, 1, 1, 0, 0, static_cast<WORD>(feed % 60)));
        AddItem(feed * 10 + 1, feed, u"a");
        AddItem(feed * 10 + 2, feed, u"b");
        feeds.push_back(feed);
    }
    ASSERT_TRUE(db_.SetViewFeeds(10, feeds));
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    EXPECT_EQ(model_.listing().size(), 75u);
}

TEST_F(ListingTest, ReadItemsGoWhenEitherSideHidesThem) {
    AddView(10, u"Shows read", 75, 0, u"", false);
    AddView(11, u"Hides read", 75, 0, u"", true);
    AddFeed(1, u"Feed");
    AddItem(1, 1, u"unread", Date(2006, 1, 1), kItemUnread);
    AddItem(2, 1, u"read", Date(2006, 1, 1), kItemRead);
    AddItem(3, 1, u"kept", Date(2006, 1, 1), kItemKept);
    ASSERT_TRUE(db_.SetViewFeeds(10, {1}));
    ASSERT_TRUE(db_.SetViewFeeds(11, {1}));
    std::vector<std::vector<std::int32_t>> listed;
    for (auto [view, hide_read] : {std::pair{10, false}, {10, true}, {11, false}}) {
        EXPECT_TRUE(model_.BuildViewListing(view, hide_read));
        listed.push_back(ListedIds());
    }
    EXPECT_EQ(listed, (std::vector<std::vector<std::int32_t>>{{3, 2, 1}, {3, 1}, {3, 1}}));
}

TEST_F(ListingTest, OldItemsGoAfterTheViewsAgeLimit) {
    qf::device::PinClock(Date(2006, 6, 10, 12, 0, 0));
    AddView(10, u"Three days", 75, 0, u"", false, 3);
    AddFeed(1, u"Feed");
    AddItem(1, 1, u"four days", Date(2006, 6, 6, 12, 0, 0));
    AddItem(2, 1, u"almost four", Date(2006, 6, 6, 13, 0, 0));
    AddItem(3, 1, u"an hour", Date(2006, 6, 10, 11, 0, 0));
    ASSERT_TRUE(db_.SetViewFeeds(10, {1}));
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    qf::device::UnpinClock();
    EXPECT_EQ(ListedIds(), (std::vector<std::int32_t>{3, 2}));
}

TEST_F(ListingTest, SortByDateKeepsEqualDatesInReadingOrder) {
    AddView(10, u"By date", 75, 2);
    AddFeed(1, u"One", 2);
    AddFeed(2, u"Two", 1);
    AddItem(11, 1, u"older", Date(2006, 1, 1));
    AddItem(12, 1, u"same A", Date(2006, 1, 5));
    AddItem(21, 2, u"same B", Date(2006, 1, 5));
    AddItem(22, 2, u"newest", Date(2006, 1, 9));
    ASSERT_TRUE(db_.SetViewFeeds(10, {1, 2}));
    Execute(u"Update Views Set SortBy = 0 Where ViewID = 10");
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    EXPECT_EQ(ListedIds(), (std::vector<std::int32_t>{12, 11, 22, 21}))
        << "read by priority, newest id first";
    Execute(u"Update Views Set SortBy = 2 Where ViewID = 10");
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    // 12 and 21 share a date and keep their reading order.
    EXPECT_EQ(ListedIds(), (std::vector<std::int32_t>{22, 12, 21, 11}));
}

TEST_F(ListingTest, UntitledItemsAreNamedByTheirPosition) {
    AddView(10, u"View", 75);
    AddFeed(1, u"Feed");
    for (int i = 1; i <= 6; ++i) AddItem(100 - i, 1, i == 5 ? u"" : u"titled");
    ASSERT_TRUE(db_.SetViewFeeds(10, {1}));
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    ASSERT_EQ(model_.listing().size(), 6u);
    EXPECT_EQ(model_.listing()[4].title, u"No Title: Item #5");
}

TEST_F(ListingTest, RepeatedMembershipRowsListEachItemOnce) {
    AddView(10, u"View", 75);
    AddFeed(1, u"Feed");
    AddItem(1, 1, u"one");
    AddItem(2, 1, u"two");
    for (int i = 0; i < 3; ++i) Execute(u"Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(10,1,0)");
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    EXPECT_EQ(std::tuple(ListedIds(), *db_.FeedIdsOfView(10), *db_.CountViewItems(10, ItemCount::kAll)),
              std::tuple(std::vector<std::int32_t>{2, 1}, std::vector<std::int32_t>{1}, 2));
}

TEST_F(ListingTest, KeywordViewsListEachFeedOnce) {
    AddView(10, u"Apples", 75, 0, u"apple");
    AddFeed(1, u"Fruit");
    AddFeed(2, u"Hidden from views", 1, kFeedListOnly);
    for (int i = 1; i <= 4; ++i) {
        AddItem(i, 1, u"apple " + std::u16string(1, u'0' + i));
        Execute(u"Insert Into ViewFeedItems(ViewID,FeedID,FeedItemID,Priority) Values(10,1," +
                std::u16string(1, u'0' + i) + u",1)");
    }
    AddItem(9, 2, u"apple nine");
    Execute(u"Insert Into ViewFeedItems(ViewID,FeedID,FeedItemID,Priority) Values(10,2,9,1)");
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    EXPECT_EQ(ListedIds(), (std::vector<std::int32_t>{4, 3, 2, 1}));
    // The download run still fetches the feed kept out of view listings.
    EXPECT_EQ(*db_.FeedIdsOfView(10), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(*db_.CountViewItems(10, ItemCount::kAll), 5);
}

TEST_F(ListingTest, AnUnreadableFeedRecordLeavesTheFeedFieldsEmpty) {
    AddView(10, u"View", 75);
    AddFeed(1, u"Broken");
    AddItem(1, 1, u"item");
    ASSERT_TRUE(db_.SetViewFeeds(10, {1}));
    RawExecute("Update Feeds Set LastDownloadDate = 'never' Where FeedID = 1");
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    ASSERT_EQ(model_.listing().size(), 1u);
    EXPECT_EQ(std::tuple(model_.listing()[0].feed_id, model_.listing()[0].feed_title),
              std::tuple(0, std::u16string()));
    EXPECT_FALSE(model_.BuildFeedListing(1)) << "a feed listing needs its feed";
    EXPECT_TRUE(model_.listing().empty());
    EXPECT_FALSE(model_.BuildViewListing(99, true)) << "no such view";
}

TEST_F(ListingTest, DownloadedAudioFilesAreFoundUnderTheFeedsFolder) {
    model_.database().set_audio_folder(u"\\Audio");
    AddView(10, u"View", 75);
    AddFeed(1, u"Talk: Show?");
    for (int i = 1; i <= 4; ++i) AddItem(i, 1, u"episode");
    ASSERT_TRUE(db_.SetViewFeeds(10, {1}));
    Execute(
        u"Insert Into FeedItemAudioData(FeedItemID,FeedID,Link,Size,Status,Keep) "
        u"Values(1,1,'http://x/a/one.mp3',5,1,0),"
        u"(2,1,'http://x/two.mp3',5,1,0),(3,1,'http://x/three.mp3',5,0,0)");
    std::filesystem::create_directories(device_.HostPath("Audio/Talk_ Show_"));
    std::ofstream(device_.HostPath("Audio/Talk_ Show_/one.mp3")) << "ID3";
    std::ofstream(device_.HostPath("Audio/Talk_ Show_/two.mp3")).flush();
    std::ofstream(device_.HostPath("Audio/Talk_ Show_/three.mp3")) << "ID3";
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    ASSERT_EQ(model_.listing().size(), 4u);
    // Newest first: no audio, still waiting for download, an empty file, a file.
    std::string audio;
    for (const ListingRow& row : model_.listing())
        audio += (row.has_audio ? "yes " : "no ") + WideToUtf8(row.audio_path) + ",";
    EXPECT_EQ(audio, "no ,no ,no ,yes \\Audio\\Talk_ Show_\\one.mp3,");
}

TEST_F(ListingTest, FindRowLoadsTheTextsOnce) {
    AddView(10, u"View", 75);
    AddFeed(1, u"Feed");
    AddItem(1, 1, u"item");
    AddText(1, 1, 2, u" world");
    AddText(1, 1, 1, u"hello");
    AddText(1, 1, 1, u"<html>page</html>", true);
    ASSERT_TRUE(db_.SetViewFeeds(10, {1}));
    ASSERT_TRUE(model_.BuildViewListing(10, true));
    ListingRow* row = model_.FindRow(1, LoadTexts::kNo);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(std::tuple(row->texts_loaded, row->description), std::tuple(0, std::u16string()));
    row = model_.FindRow(1, LoadTexts::kYes);
    EXPECT_EQ(std::tuple(row->texts_loaded, row->description, row->extended_content),
              std::tuple(1, std::u16string(u"hello world"), std::u16string(u"<html>page</html>")));
    Execute(u"Delete From FeedItemShortData");
    EXPECT_EQ(model_.FindRow(1, LoadTexts::kYes)->description, u"hello world") << "loaded once";
    EXPECT_EQ(model_.FindRow(2, LoadTexts::kYes), nullptr);
}

TEST_F(ListingTest, AFeedListingShowsItsFiftyNewestItems) {
    AddFeed(1, u"Feed");
    for (int i = 1; i <= 60; ++i) {
        AddItem(i, 1, u"item", Date(2006, 1, 1, static_cast<WORD>(i / 60), static_cast<WORD>(i % 60)),
                i % 2 ? kItemRead : kItemUnread);
    }
    ASSERT_TRUE(model_.BuildFeedListing(1));
    std::vector<std::int32_t> ids = ListedIds();
    ASSERT_EQ(ids.size(), 50u);
    EXPECT_EQ(std::tuple(ids.front(), ids.back(), model_.listing()[0].view_id), std::tuple(60, 11, 0));
}

TEST_F(ListingTest, ViewsAndFeedsAreListedByName) {
    AddView(10, u"Zebra");
    AddView(11, u"Apple");
    Execute(u"Update Views Set Status = 0 Where ViewID = 2");
    AddFeed(1, u"Beta");
    AddFeed(2, u"Alpha");
    AddFeed(3, u"Gone", 1, 0);
    ASSERT_TRUE(model_.LoadViews());
    std::u16string names;
    for (const auto& view : model_.views()) names += view.label + u",";
    ASSERT_TRUE(model_.LoadFeeds());
    for (const auto& feed : model_.feeds()) names += feed.title + u",";
    EXPECT_EQ(WideToUtf8(names), "Apple,Whats New,Zebra,Alpha,Beta,");
}

}  // namespace
}  // namespace qf::test
