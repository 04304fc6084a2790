#include "db_fixture.h"

namespace qf::test {
namespace {

class SearchTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        AddFeed(1, u"Fruit", 4);
        AddFeed(2, u"Cooking", 2);
        AddItem(11, 1, u"Apple harvest", Date(2006, 1, 3));
        AddItem(12, 1, u"Pear news", Date(2006, 1, 9));
        AddItem(21, 2, u"APPLE pie", Date(2006, 1, 5));
        AddItem(22, 2, u"Bread", Date(2006, 1, 7));
        AddText(22, 2, 1, u"with apple slices");
        Execute(u"Update FeedItems Set Keywords = 'orchard,apple' Where FeedItemID = 12");
    }

    static std::vector<std::int32_t> Ids(const std::vector<SearchHit>& hits) {
        std::vector<std::int32_t> ids;
        for (const SearchHit& hit : hits) ids.push_back(hit.feed_item_id);
        return ids;
    }
};

TEST_F(SearchTest, FindsEachItemOnceInFieldOrder) {
    DbResult<std::vector<SearchHit>> hits = db_.Search(u"  apple ", {true, true, true}, false);
    ASSERT_TRUE(hits);
    EXPECT_EQ(std::tuple(Ids(*hits), (*hits)[1].title, (*hits)[1].feed_id),
              std::tuple(std::vector<std::int32_t>{11, 21, 12, 22}, std::u16string(u"APPLE pie"), 2));

    hits = db_.Search(u"apple", {true, false, true}, true);
    ASSERT_TRUE(hits);
    EXPECT_EQ(Ids(*hits), (std::vector<std::int32_t>{21, 11, 22})) << "titles newest first, then texts";

    EXPECT_EQ(db_.Search(u" \t", {true, true, true}, false).error(), DbError::kRefused);
    hits = db_.Search(u"nothing like it", {true, true, true}, false);
    ASSERT_TRUE(hits);
    EXPECT_TRUE(hits->empty());
    AddItem(31, 1, u"It's harvest time", Date(2006, 1, 8));
    hits = db_.Search(u"it's", {true, true, true}, false);
    ASSERT_TRUE(hits) << "a quote is searched for like text";
    EXPECT_EQ(Ids(*hits), std::vector<std::int32_t>{31});

    // A query that cannot run is a failure, not an empty result.
    RawExecute("Drop Table FeedItemShortData");
    EXPECT_EQ(db_.Search(u"apple", {true, false, true}, false).error(), DbError::kQueryFailed);
    EXPECT_FALSE(db_.locked());
}

TEST_F(SearchTest, WhatsNewHoldsTheFiftyNewestItems) {
    for (int i = 1; i <= 60; ++i)
        AddItem(100 + i, 1, u"bulk", Date(2006, 2, 1, static_cast<WORD>(i / 60), static_cast<WORD>(i % 60)));
    Execute(u"Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(1,1,0)");
    ASSERT_TRUE(db_.RebuildWhatsNew());
    // Memberships of What's New, its items, the oldest of them, the highest priority.
    EXPECT_EQ(
        Text("Select (Select count(*) From ViewFeeds Where ViewID = 1)||','||count(*)||','||min(FeedItemID)||"
             "','||max(Priority) From ViewFeedItems Where ViewID = 1"),
        "0,50,111,0");
}

TEST_F(SearchTest, KeywordViewsAreRebuiltFromTheirKeywords) {
    AddView(10, u"Apples", 75, 0, u" pie,, APPLE , bread");
    Execute(u"Insert Into ViewFeedItems(ViewID,FeedID,FeedItemID,Priority) Values(10,9,99,9)");
    ASSERT_TRUE(db_.RebuildKeywordView(10, {true, false, false}));
    EXPECT_EQ(Text("Select group_concat(FeedItemID||':'||FeedID||':'||Priority) From ViewFeedItems Where "
                   "ViewID = 10"),
              "21:2:2,11:1:4,22:2:2");
    for (std::int32_t refused : {1, 2, 99})  // What's New, a view without keywords, no view
        EXPECT_FALSE(db_.RebuildKeywordView(refused, {true, false, false})) << refused;
}

TEST_F(SearchTest, CountsByStatus) {
    Execute(u"Update FeedItems Set Status = 2 Where FeedItemID = 11");
    Execute(u"Update FeedItems Set Status = 3 Where FeedItemID = 21");
    AddFeed(3, u"Listed only", 1, kFeedListOnly);
    AddItem(31, 3, u"hidden");
    AddView(10, u"All", 75);
    ASSERT_TRUE(db_.SetViewFeeds(10, {1, 2, 3}));
    // Feed 1 unread and all; view 10 all (the list-only feed is not counted), unread and kept.
    EXPECT_EQ(
        std::vector({*db_.CountFeedItems(1, ItemCount::kUnread), *db_.CountFeedItems(1, ItemCount::kAll),
                     *db_.CountViewItems(10, ItemCount::kAll), *db_.CountViewItems(10, ItemCount::kUnread),
                     *db_.CountViewItems(10, ItemCount::kKept)}),
        std::vector<long>({1, 2, 4, 2, 1}));
    EXPECT_EQ(db_.CountViewItems(99, ItemCount::kAll).error(), DbError::kNotFound);
}

TEST_F(SearchTest, RecordListsForTheDownloadRun) {
    Execute(u"Update Feeds Set LastDownloadDate = '2006-01-02 00:00:00' Where FeedID = 1");
    AddFeed(3, u"Also priority four", 4);
    Execute(u"Update Feeds Set LastDownloadDate = '2006-01-01 00:00:00' Where FeedID = 3");
    DbResult<std::vector<FeedRecord>> feeds = db_.LoadFeedsForDownload();
    ASSERT_TRUE(feeds);
    std::vector<std::int32_t> order;
    for (const FeedRecord& feed : *feeds) order.push_back(feed.feed_id);
    EXPECT_EQ(order, (std::vector<std::int32_t>{3, 1, 2}));

    DbResult<std::vector<ItemRecord>> items = db_.LoadItemsOfFeed(1, 1);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->size() == 1 ? (*items)[0].feed_item_id : -1, 12);

    Execute(u"Insert Into FeedItemAudioData(FeedItemID,FeedID,Link,Size,Status,Keep) Values(11,1,'a',1,0,0)");
    Execute(u"Insert Into FeedItemAudioData(FeedItemID,FeedID,Link,Size,Status,Keep) Values(12,1,'b',1,0,0)");
    Execute(u"Update Feeds Set Title = 'A title: far longer than forty characters, really' Where FeedID = 1");
    DbResult<std::vector<AudioRecord>> audio = db_.LoadAudio(0);
    ASSERT_TRUE(audio);
    ASSERT_EQ(audio->size(), 2u);
    EXPECT_EQ(std::tuple((*audio)[0].feed_item_id, (*audio)[0].folder_name),
              std::tuple(12, std::u16string(u"A title_ far longer than forty character")))
        << "pending audio newest first";

    SubscriptionRecord subscription = NewSubscriptionRecord();
    subscription.subscription_id = 5;
    subscription.title = u"Zed";
    ASSERT_TRUE(db_.AddSubscription(subscription, SubscriptionView::kWhatsNew));
    subscription.subscription_id = 6;
    subscription.title = u"Abe";
    ASSERT_TRUE(db_.AddSubscription(subscription, SubscriptionView::kWhatsNew));
    DbResult<std::vector<SubscriptionRecord>> subscriptions = db_.LoadSubscriptions();
    ASSERT_TRUE(subscriptions);
    ASSERT_EQ(subscriptions->size(), 2u);
    EXPECT_EQ((*subscriptions)[0].title, u"Abe");
}

}  // namespace
}  // namespace qf::test
