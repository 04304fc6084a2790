// The reading operations: single records, the lists kept in the FeedDatabase, and counts.
#include <unordered_set>

#include "db/feed_database.h"
#include "db/row_readers.h"
#include "parse/text_cleanup.h"

namespace qf {

using db_detail::Decimal;
using db_detail::ForEachRow;
using db_detail::kSelectActiveFeedSummaries;
using db_detail::ReadFeedSummary;

namespace {

// One record read by `sql`, or nullopt when it finds no row.
template <typename Record, typename Read>
std::optional<Record> ReadOne(AdoConnection& connection, const std::u16string& sql, Read read) {
    std::optional<Record> record;
    AdoRecordset rows;
    if (rows.Open(sql, &connection) && !rows.IsEOF()) record = read(rows);
    return record;
}

std::vector<std::int32_t> ReadIds(AdoConnection& connection, const std::u16string& sql) {
    std::vector<std::int32_t> ids;
    ForEachRow(connection, sql, [&](AdoRecordset& row) { ids.push_back(row.Field(0).AsInt()); });
    return ids;
}

// The condition of an item count by status, as the statements write it.
std::u16string StatusCondition(ItemCount count, std::u16string_view table_prefix) {
    std::u16string column = std::u16string(table_prefix) + u"Status";
    switch (count) {
        case ItemCount::kUnread:
            return u" AND " + column + u" = " + Decimal(kItemUnread);
        case ItemCount::kKept:
            return u" AND " + column + u" = " + Decimal(kItemKept);
        case ItemCount::kAll:
            break;
    }
    return u" AND " + column + u" <> 0 ";
}

long CountRows(AdoConnection& connection, const std::u16string& sql) {
    AdoRecordset rows;
    if (!rows.Open(sql, &connection)) return 0;
    long count = rows.RecordCount();
    return count < 0 ? 0 : count;
}

}  // namespace

std::optional<ViewRecord> FeedDatabase::LoadView(std::int32_t view_id) {
    return Run(std::optional<ViewRecord>(), [&](AdoConnection& connection) {
        return ReadOne<ViewRecord>(
            connection, std::u16string(db_detail::kSelectViews) + u" Where ViewID = " + Decimal(view_id),
            db_detail::ReadView);
    });
}

std::optional<FeedRecord> FeedDatabase::LoadFeed(std::int32_t feed_id) {
    return Run(std::optional<FeedRecord>(), [&](AdoConnection& connection) {
        return ReadOne<FeedRecord>(
            connection, std::u16string(db_detail::kSelectFeeds) + u" Where FeedID = " + Decimal(feed_id),
            db_detail::ReadFeed);
    });
}

std::optional<ItemRecord> FeedDatabase::LoadItem(std::int32_t item_id) {
    return Run(std::optional<ItemRecord>(), [&](AdoConnection& connection) {
        return ReadOne<ItemRecord>(
            connection,
            u"Select FeedItemID,FeedID,Title,Status,GUID,LinkUrl,LinkUrl2,ItemDate,Keywords,DateEntered From "
            u"FeedItems Where FeedItemID = " +
                Decimal(item_id),
            [](AdoRecordset& row) {
                ItemRecord item;
                item.feed_item_id = row.Field(0).AsInt();
                item.feed_id = row.Field(1).AsInt();
                item.title = row.Field(2).AsString();
                item.status = row.Field(3).AsShort();
                item.guid = row.Field(4).AsString();
                item.link = row.Field(5).AsString();
                item.link += row.Field(6).AsString();
                item.item_date = row.Field(7).AsDate();
                item.keywords = row.Field(8).AsString();
                item.date_entered = row.Field(9).AsDate();
                return item;
            });
    });
}

std::optional<SubscriptionRecord> FeedDatabase::LoadSubscription(std::int32_t subscription_id) {
    return Run(std::optional<SubscriptionRecord>(), [&](AdoConnection& connection) {
        return ReadOne<SubscriptionRecord>(connection,
                                           std::u16string(db_detail::kSelectSubscriptions) +
                                               u" Where SubscriptionID = " + Decimal(subscription_id),
                                           db_detail::ReadSubscription);
    });
}

bool FeedDatabase::LoadSubscriptions() {
    return Run(false, [&](AdoConnection& connection) {
        subscriptions_.clear();
        ForEachRow(connection, std::u16string(db_detail::kSelectSubscriptions) + u" Order By Title",
                   [&](AdoRecordset& row) { subscriptions_.push_back(db_detail::ReadSubscription(row)); });
        return true;
    });
}

bool FeedDatabase::LoadFeedsForDownload() {
    return Run(false, [&](AdoConnection& connection) {
        feeds_.clear();
        ForEachRow(connection,
                   std::u16string(kSelectActiveFeedSummaries) + u"Priority Desc, LastDownloadDate Asc, Title",
                   [&](AdoRecordset& row) { feeds_.push_back(ReadFeedSummary<FeedRecord>(row)); });
        return true;
    });
}

bool FeedDatabase::LoadItemsOfFeed(std::int32_t feed_id, int max_count) {
    return Run(false, [&](AdoConnection& connection) {
        items_.clear();
        AdoRecordset rows;
        if (!rows.Open(
                u"Select FeedItemID,FeedID,Title,Status,ItemDate,LinkUrl,LinkUrl2 From FeedItems Where "
                u"Status <> 0 And FeedID = " +
                    Decimal(feed_id) + u" Order By ItemDate Desc,FeedItemID Desc",
                &connection)) {
            return true;
        }
        for (rows.MoveFirst(); !rows.IsEOF() && static_cast<int>(items_.size()) < max_count;
             rows.MoveNext()) {
            items_.push_back(db_detail::ReadListedItem(rows));
        }
        return true;
    });
}

bool FeedDatabase::LoadAudio(std::int16_t status) {
    return Run(false, [&](AdoConnection& connection) {
        LoadAudioInto(connection, status);
        return true;
    });
}

void FeedDatabase::LoadAudioInto(AdoConnection& connection, std::int16_t status) {
    audio_.clear();
    ForEachRow(connection,
               u"Select FeedItemID,FeedID,Link,Size From FeedItemAudioData Where Status = " +
                   Decimal(status) + (status != 0 ? u" Order By FeedItemID" : u" Order By FeedItemID Desc"),
               [&](AdoRecordset& row) {
                   AudioRecord audio;
                   audio.feed_item_id = row.Field(0).AsInt();
                   audio.feed_id = row.Field(1).AsInt();
                   audio.link = row.Field(2).AsString();
                   audio.size = row.Field(3).AsInt();
                   audio_.push_back(std::move(audio));
               });
    // The folder of each file is named after its feed's title.
    constexpr size_t kFolderNameLength = 40;
    for (AudioRecord& audio : audio_) {
        ForEachRow(connection, u"Select Title From Feeds Where FeedID = " + Decimal(audio.feed_id),
                   [&](AdoRecordset& row) {
                       audio.folder_name =
                           SanitizeFileName(row.Field(0).AsString().substr(0, kFolderNameLength));
                   });
    }
}

std::vector<std::int32_t> FeedDatabase::FeedIdsOfView(std::int32_t view_id) {
    std::optional<ViewRecord> view = LoadView(view_id);
    if (!view) return {};
    return Run(std::vector<std::int32_t>(), [&](AdoConnection& connection) {
        std::u16string join = view->is_keyword_view ? u"ViewFeedItems" : u"ViewFeeds";
        std::vector<std::int32_t> ids = ReadIds(
            connection, u"Select Feeds.FeedID From Feeds Inner Join " + join + u" On Feeds.FeedID = " + join +
                            u".FeedID Where Feeds.Status <> 0 And " + join + u".ViewID = " +
                            Decimal(view_id) + u" Order By Feeds.Priority Desc");
        std::vector<std::int32_t> unique;
        std::unordered_set<std::int32_t> seen;
        for (std::int32_t id : ids) {
            if (seen.insert(id).second) unique.push_back(id);
        }
        return unique;
    });
}

std::optional<TextRecord> FeedDatabase::LoadItemText(std::int32_t item_id, TextKind kind) {
    return Run(std::optional<TextRecord>(), [&](AdoConnection& connection) {
        std::optional<TextRecord> text;
        std::u16string table = kind == TextKind::kLong ? u"FeedItemLongData" : u"FeedItemShortData";
        ForEachRow(connection,
                   u"Select FeedItemID,FeedID,LinkOrder,TextData From " + table + u" Where FeedItemID = " +
                       Decimal(item_id) + u" Order By LinkOrder",
                   [&](AdoRecordset& row) {
                       if (!text) {
                           text.emplace();
                           text->feed_item_id = row.Field(0).AsInt();
                           text->feed_id = row.Field(1).AsInt();
                           text->is_long = kind == TextKind::kLong ? 1 : 0;
                       }
                       text->text += row.Field(3).AsString();
                   });
        return text;
    });
}

std::vector<std::int32_t> FeedDatabase::ViewsOfFeed(std::int32_t feed_id) {
    return Run(std::vector<std::int32_t>(), [&](AdoConnection& connection) {
        return ReadIds(
            connection,
            u"Select Views.ViewID From Views Inner Join ViewFeeds On Views.ViewID = ViewFeeds.ViewID "
            u"Where ViewFeeds.FeedID = " +
                Decimal(feed_id) + u" Order By Views.Label");
    });
}

long FeedDatabase::CountFeedItems(std::int32_t feed_id, ItemCount count) {
    return Run(-1L, [&](AdoConnection& connection) {
        return CountRows(connection, u"Select FeedItemID From FeedItems Where FeedID = " + Decimal(feed_id) +
                                         StatusCondition(count, u""));
    });
}

long FeedDatabase::CountViewItems(std::int32_t view_id, ItemCount count) {
    std::optional<ViewRecord> view = LoadView(view_id);
    if (!view) return -1;
    return Run(-1L, [&](AdoConnection& connection) {
        if (view->is_keyword_view) {
            return CountRows(
                connection,
                u"Select FeedItems.FeedItemID From FeedItems Inner Join ViewFeedItems On "
                u"FeedItems.FeedItemID = ViewFeedItems.FeedItemID Where ViewFeedItems.ViewID = " +
                    Decimal(view_id) + StatusCondition(count, u"FeedItems."));
        }
        long total = 0;
        std::unordered_set<std::int32_t> counted;
        ForEachRow(connection,
                   u"Select Feeds.FeedID,Feeds.Status From Feeds Inner Join ViewFeeds On Feeds.FeedID = "
                   u"ViewFeeds.FeedID Where Feeds.Status <> 0 And ViewFeeds.ViewID = " +
                       Decimal(view_id) + u" Order By Feeds.Priority Desc",
                   [&](AdoRecordset& row) {
                       std::int32_t feed_id = row.Field(0).AsInt();
                       if (row.Field(1).AsShort() == kFeedListOnly || !counted.insert(feed_id).second) return;
                       total += CountRows(connection, u"Select FeedItemID From FeedItems Where FeedID = " +
                                                          Decimal(feed_id) + StatusCondition(count, u"") +
                                                          u" Order By FeedItemID Desc");
                   });
        return total;
    });
}

}  // namespace qf
