#include "db/listing_rules.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

constexpr long long kDay = 86400;

TEST(ListingRules, WhichItemsAreListed) {
    struct Row {
        std::int16_t status;
        bool hide_read;
        std::int16_t hide_after;
        long long age_seconds;
        bool listed;
    };
    const Row table[] = {
        {kItemUnread, true, 0, 100 * kDay, true},
        {kItemRead, true, 0, 0, false},
        {kItemRead, false, 0, 0, true},
        {kItemKept, true, 0, 0, true},
        {kItemUnread, false, 3, 3 * kDay + 23 * 3600, true},  // age 3 days: stays
        {kItemUnread, false, 3, 4 * kDay, false},
        {kItemUnread, false, 1, kDay - 1, true},   // less than a day old never goes
        {kItemUnread, false, 0, 4 * kDay, true},   // no limit
        {kItemUnread, false, -1, 4 * kDay, true},  // none either
        {kItemUnread, false, 3, -5 * kDay, true},  // dated in the future
        {kItemRead, false, 3, 5 * kDay, false},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(::testing::Message() << row.status << " hide " << row.hide_read << " after "
                                          << row.hide_after << " age " << row.age_seconds);
        EXPECT_EQ(IsItemListed(row.status, row.hide_read, row.hide_after, row.age_seconds), row.listed);
    }
}

TEST(ListingRules, SecondsBetweenDates) {
    EXPECT_EQ(SecondsBetween(SYSTEMTIME{2006, 1, 0, 1, 0, 0, 0, 0}, SYSTEMTIME{2006, 1, 0, 5, 0, 0, 1, 0}),
              4 * kDay + 1);
    EXPECT_EQ(SecondsBetween(SYSTEMTIME{1900, 1, 0, 1, 0, 0, 0, 0}, SYSTEMTIME{1900, 1, 0, 2, 0, 0, 0, 0}),
              kDay);
    EXPECT_EQ(SecondsBetween(SYSTEMTIME{}, SYSTEMTIME{2006, 1, 0, 5, 0, 0, 0, 0}), 0) << "no date";
}

// Reads `items_per_feed` items of each feed through the quota and tells how many each feed listed.
std::vector<int> Listed(int num_to_show, std::vector<int> items_per_feed) {
    ViewQuota quota(num_to_show, static_cast<int>(items_per_feed.size()));
    std::vector<int> listed;
    for (int available : items_per_feed) {
        quota.StartFeed();
        int count = 0;
        ViewQuota::Next next = ViewQuota::Next::kSameFeed;
        while (count < available && next == ViewQuota::Next::kSameFeed) {
            ++count;
            next = quota.Count();
        }
        listed.push_back(count);
        if (next == ViewQuota::Next::kStop) break;
    }
    return listed;
}

TEST(ListingRules, QuotaPerFeedAndTotal) {
    EXPECT_EQ(Listed(75, {100, 100, 100}), (std::vector<int>{25, 25, 25}));
    // The item that fills a quota is not counted, so short feeds leave room for the others.
    EXPECT_EQ(Listed(75, {5, 100, 100}), (std::vector<int>{5, 25, 25}));
    EXPECT_EQ(Listed(10, {100, 100, 100}), (std::vector<int>{3, 3, 3}));
    // 100 feeds: the quota is 0, so items are read feed by feed until the total is reached.
    std::vector<int> many(100, 2);
    std::vector<int> listed = Listed(75, many);
    EXPECT_EQ(listed.size(), 38u);
    int total = 0;
    for (int count : listed) total += count;
    EXPECT_EQ(total, 75);
    EXPECT_EQ(ViewQuota(75, 100).per_feed(), 0);
}

ItemRecord Item(std::int32_t id, WORD day) {
    ItemRecord item;
    item.feed_item_id = id;
    item.item_date = SYSTEMTIME{2006, 1, 0, day, 0, 0, 0, 0};
    return item;
}

std::vector<std::int32_t> SortedIds(std::vector<ItemRecord> items) {
    SortNewestFirst(items);
    std::vector<std::int32_t> ids;
    for (const ItemRecord& item : items) ids.push_back(item.feed_item_id);
    return ids;
}

TEST(ListingRules, ExchangeSortNewestFirst) {
    EXPECT_EQ(SortedIds({Item(1, 1), Item(2, 3), Item(3, 2)}), (std::vector<std::int32_t>{2, 3, 1}));
    // Equal dates keep the order in which they were read...
    EXPECT_EQ(SortedIds({Item(1, 5), Item(2, 5), Item(3, 1)}), (std::vector<std::int32_t>{1, 2, 3}));
    // ...unless a newer third item moves one of them.
    EXPECT_EQ(SortedIds({Item(1, 5), Item(2, 5), Item(3, 9)}), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_TRUE(SortedIds({}).empty());
}

TEST(ListingRules, AudioFilePathsStayInTheFeedsFolder) {
    struct Case {
        std::u16string folder_name;
        std::u16string link;
        std::u16string path;
    };
    const std::u16string long_name(200, u'a');
    const Case table[] = {
        {u"My Feed", u"http://example.com/casts/show.mp3", u"\\Audio\\My Feed\\show.mp3"},
        {u"My Feed", u"\\Storage\\a/b\\c.mp3", u"\\Audio\\My Feed\\c.mp3"},
        {u"My Feed", u"plain.mp3", u"\\Audio\\My Feed\\plain.mp3"},
        // Whatever a feed or a URL holds, each becomes one name below the audio folder.
        {u"..", u"http://example.com/db.cdb", u"\\Audio\\_\\db.cdb"},
        {u".", u"http://example.com/..", u"\\Audio\\_\\_"},
        {u"", u"x\\..", u"\\Audio\\_\\_"},
        {u"  Talk. ", u"/../", u"\\Audio\\Talk\\_"},
        {u"a:b*c?\"<>|", u"show.mp3?id=1&x=\t", u"\\Audio\\a_b_c_____\\show.mp3_id=1&x=_"},
        {long_name, u"x.mp3", u"\\Audio\\" + std::u16string(kMaxNameSegment, u'a') + u"\\x.mp3"},
    };
    for (const Case& test : table) {
        AudioRecord record;
        record.folder_name = test.folder_name;
        record.link = test.link;
        EXPECT_EQ(AudioFilePath(u"\\Audio", record), test.path) << WideToUtf8(test.link);
        EXPECT_EQ(AudioFolderPath(u"\\Audio", test.folder_name) + u"\\",
                  test.path.substr(0, test.path.find_last_of(u'\\') + 1));
    }
}

TEST(ListingRules, KeywordPieces) {
    EXPECT_EQ(SplitKeywords(u" Apple,, pie ,\tMixed Case ,"),
              (std::vector<std::u16string>{u"Apple", u"pie", u"Mixed Case"}));
    EXPECT_TRUE(SplitKeywords(u" , ").empty());
}

}  // namespace
}  // namespace qf
