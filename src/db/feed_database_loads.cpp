// The reading operations: single records, lists and counts.
#include <unordered_set>

#include "db/feed_database.h"
#include "db/row_readers.h"

namespace qf {

using db_detail::Decimal;
using db_detail::ForEachRow;
using db_detail::kSelectActiveFeedSummaries;
using db_detail::ReadFeedSummary;

namespace {

// The one record read by `sql`, or kNotFound when it finds no row.
template <typename Record, typename Read>
DbResult<Record> ReadOne(AdoConnection& connection, const std::u16string& sql, Read read) {
    std::optional<Record> record;
    ForEachRow(connection, sql, [&](AdoRecordset& row) {
        if (!record) record = read(row);
    });
    if (!record) return DbError::kNotFound;
    return std::move(*record);
}

template <typename Record, typename Read>
std::vector<Record> ReadAll(AdoConnection& connection, const std::u16string& sql, Read read) {
    std::vector<Record> records;
    ForEachRow(connection, sql, [&](AdoRecordset& row) { records.push_back(read(row)); });
    return records;
}

std::int32_t ReadId(AdoRecordset& row) { return row.Field(0).AsInt(); }

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
    if (!rows.Open(sql, &connection)) QF_ADO_THROW(kAdoReadRefused);
    long count = rows.RecordCount();
    return count < 0 ? 0 : count;
}

}  // namespace

DbResult<ViewRecord> FeedDatabase::LoadView(std::int32_t view_id) {
    return Run([&](AdoConnection& connection) {
        return ReadOne<ViewRecord>(
            connection, std::u16string(db_detail::kSelectViews) + u" Where ViewID = " + Decimal(view_id),
            db_detail::ReadView);
    });
}

DbResult<FeedRecord> FeedDatabase::LoadFeed(std::int32_t feed_id) {
    return Run([&](AdoConnection& connection) {
        return ReadOne<FeedRecord>(
            connection, std::u16string(db_detail::kSelectFeeds) + u" Where FeedID = " + Decimal(feed_id),
            db_detail::ReadFeed);
    });
}

DbResult<ItemRecord> FeedDatabase::LoadItem(std::int32_t item_id) {
    struct Column {
        enum : long {
            kFeedItemId,
            kFeedId,
            kTitle,
            kStatus,
            kGuid,
            kLinkUrl,
            kLinkUrl2,
            kItemDate,
            kKeywords,
            kDateEntered,
        };
    };
    return Run([&](AdoConnection& connection) {
        return ReadOne<ItemRecord>(
            connection,
            u"Select FeedItemID,FeedID,Title,Status,GUID,LinkUrl,LinkUrl2,ItemDate,Keywords,DateEntered From "
            u"FeedItems Where FeedItemID = " +
                Decimal(item_id),
            [](AdoRecordset& row) {
                ItemRecord item;
                item.feed_item_id = row.Field(Column::kFeedItemId).AsInt();
                item.feed_id = row.Field(Column::kFeedId).AsInt();
                item.title = row.Field(Column::kTitle).AsString();
                item.status = row.Field(Column::kStatus).AsShort();
                item.guid = row.Field(Column::kGuid).AsString();
                item.link = row.Field(Column::kLinkUrl).AsString();
                item.link += row.Field(Column::kLinkUrl2).AsString();
                item.item_date = row.Field(Column::kItemDate).AsDate();
                item.keywords = row.Field(Column::kKeywords).AsString();
                item.date_entered = row.Field(Column::kDateEntered).AsDate();
                return item;
            });
    });
}

DbResult<SubscriptionRecord> FeedDatabase::LoadSubscription(std::int32_t subscription_id) {
    return Run([&](AdoConnection& connection) {
        return ReadOne<SubscriptionRecord>(connection,
                                           std::u16string(db_detail::kSelectSubscriptions) +
                                               u" Where SubscriptionID = " + Decimal(subscription_id),
                                           db_detail::ReadSubscription);
    });
}

DbResult<std::vector<SubscriptionRecord>> FeedDatabase::LoadSubscriptions() {
    return Run([&](AdoConnection& connection) {
        return ReadAll<SubscriptionRecord>(
            connection, std::u16string(db_detail::kSelectSubscriptions) + u" Order By Title",
            db_detail::ReadSubscription);
    });
}

DbResult<std::vector<FeedRecord>> FeedDatabase::LoadFeedsForDownload() {
    return Run([&](AdoConnection& connection) {
        return ReadAll<FeedRecord>(
            connection,
            std::u16string(kSelectActiveFeedSummaries) + u"Priority Desc, LastDownloadDate Asc, Title",
            ReadFeedSummary<FeedRecord>);
    });
}

DbResult<std::vector<ItemRecord>> FeedDatabase::LoadItemsOfFeed(std::int32_t feed_id, int max_count) {
    return Run([&](AdoConnection& connection) {
        std::vector<ItemRecord> items;
        AdoRecordset rows;
        if (!rows.Open(u"Select " + std::u16string(db_detail::kListedItemColumns) +
                           u" From FeedItems Where Status <> 0 And FeedID = " + Decimal(feed_id) +
                           u" Order By ItemDate Desc,FeedItemID Desc",
                       &connection)) {
            QF_ADO_THROW(kAdoReadRefused);
        }
        for (rows.MoveFirst(); !rows.IsEOF() && static_cast<int>(items.size()) < max_count; rows.MoveNext()) {
            items.push_back(db_detail::ReadListedItem(rows));
        }
        return items;
    });
}

DbResult<std::vector<AudioRecord>> FeedDatabase::LoadAudio(std::int16_t status) {
    return Run([&](AdoConnection& connection) { return db_detail::ReadAudio(connection, status); });
}

DbResult<std::vector<std::int32_t>> FeedDatabase::FeedIdsOfView(std::int32_t view_id) {
    DbResult<ViewRecord> view = LoadView(view_id);
    if (!view) return view.error();
    return Run([&](AdoConnection& connection) {
        std::u16string join = view->is_keyword_view ? u"ViewFeedItems" : u"ViewFeeds";
        return db_detail::Distinct(ReadAll<std::int32_t>(
            connection,
            u"Select Feeds.FeedID From Feeds Inner Join " + join + u" On Feeds.FeedID = " + join +
                u".FeedID Where Feeds.Status <> 0 And " + join + u".ViewID = " + Decimal(view_id) +
                u" Order By Feeds.Priority Desc",
            ReadId));
    });
}

DbResult<TextRecord> FeedDatabase::LoadItemText(std::int32_t item_id, TextKind kind) {
    struct Column {
        enum : long { kFeedItemId, kFeedId, kLinkOrder, kTextData };
    };
    return Run([&](AdoConnection& connection) -> DbResult<TextRecord> {
        std::optional<TextRecord> text;
        std::u16string table = kind == TextKind::kLong ? u"FeedItemLongData" : u"FeedItemShortData";
        ForEachRow(connection,
                   u"Select FeedItemID,FeedID,LinkOrder,TextData From " + table + u" Where FeedItemID = " +
                       Decimal(item_id) + u" Order By LinkOrder",
                   [&](AdoRecordset& row) {
                       if (!text) {
                           text.emplace();
                           text->feed_item_id = row.Field(Column::kFeedItemId).AsInt();
                           text->feed_id = row.Field(Column::kFeedId).AsInt();
                           text->is_long = kind == TextKind::kLong ? 1 : 0;
                       }
                       text->text += row.Field(Column::kTextData).AsString();
                   });
        if (!text) return DbError::kNotFound;
        return std::move(*text);
    });
}

DbResult<std::vector<std::int32_t>> FeedDatabase::ViewsOfFeed(std::int32_t feed_id) {
    return Run([&](AdoConnection& connection) {
        return ReadAll<std::int32_t>(
            connection,
            u"Select Views.ViewID From Views Inner Join ViewFeeds On Views.ViewID = ViewFeeds.ViewID "
            u"Where ViewFeeds.FeedID = " +
                Decimal(feed_id) + u" Order By Views.Label",
            ReadId);
    });
}

DbResult<long> FeedDatabase::CountFeedItems(std::int32_t feed_id, ItemCount count) {
    return Run([&](AdoConnection& connection) {
        return CountRows(connection, u"Select FeedItemID From FeedItems Where FeedID = " + Decimal(feed_id) +
                                         StatusCondition(count, u""));
    });
}

DbResult<long> FeedDatabase::CountViewItems(std::int32_t view_id, ItemCount count) {
    DbResult<ViewRecord> view = LoadView(view_id);
    if (!view) return view.error();
    return Run([&](AdoConnection& connection) {
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
