// The rows of a view, the keyword search, and the views whose memberships are rebuilt from searches.
#include <unordered_set>

#include "db/feed_database.h"
#include "db/listing_rules.h"
#include "db/row_readers.h"
#include "db/schema.h"

namespace qf {

using db_detail::Decimal;
using db_detail::ForEachRow;

namespace {

constexpr int kWhatsNewSize = 50;

// The feeds a view lists, in listing order: feeds kept for the feed list only are left out, and each
// feed is named once however many of its items (keyword views) or membership rows it has.
std::vector<std::int32_t> ListedFeeds(AdoConnection& connection, const ViewRecord& view) {
    std::u16string join = view.is_keyword_view ? u"ViewFeedItems" : u"ViewFeeds";
    std::u16string sql = u"Select Feeds.FeedID,Feeds.Status From Feeds Inner Join " + join +
                         u" On Feeds.FeedID = " + join + u".FeedID Where Feeds.Status <> 0 And " + join +
                         u".ViewID = " + Decimal(view.view_id) +
                         (view.SortedBy(ViewSort::kFeedsByPriority)
                              ? u" Order By Feeds.Priority Desc, Feeds.LastFeedDate Desc"
                              : u" Order By Feeds.LastFeedDate Desc, Feeds.Priority Desc");
    std::vector<std::int32_t> feeds;
    std::unordered_set<std::int32_t> seen;
    ForEachRow(connection, sql, [&](AdoRecordset& row) {
        std::int32_t feed_id = row.Field(0).AsInt();
        if (row.Field(1).AsShort() == kFeedListOnly) return;
        if (!seen.insert(feed_id).second) return;
        feeds.push_back(feed_id);
    });
    return feeds;
}

std::u16string FeedItemsQuery(const ViewRecord& view, std::int32_t feed_id) {
    if (!view.is_keyword_view) {
        return u"Select " + std::u16string(db_detail::kListedItemColumns) +
               u" From FeedItems Where Status <> 0 And FeedID = " + Decimal(feed_id) +
               u" Order By FeedItemID Desc";
    }
    return u"Select "
           u"FeedItems.FeedItemID,FeedItems.FeedID,FeedItems.Title,FeedItems.Status,FeedItems.ItemDate,"
           u"FeedItems.LinkUrl,FeedItems.LinkUrl2 From FeedItems Inner Join ViewFeedItems On "
           u"FeedItems.FeedItemID = "
           u"ViewFeedItems.FeedItemID Where FeedItems.FeedID = " +
           Decimal(feed_id) + u" And ViewFeedItems.ViewID = " + Decimal(view.view_id) +
           u" Order By FeedItems.FeedItemID Desc";
}

std::u16string TrimBlanks(const std::u16string& text) {
    size_t first = text.find_first_not_of(u" \t\r\n");
    if (first == std::u16string::npos) return std::u16string();
    size_t last = text.find_last_not_of(u" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Runs the search queries of `term` and appends the items not yet `seen` to `hits`.
void CollectHits(AdoConnection& connection, const std::u16string& term, SearchFields fields, bool by_date,
                 std::unordered_set<std::int32_t>& seen, std::vector<SearchHit>& hits) {
    std::u16string plain_order = by_date ? u" Order By ItemDate Desc" : u" Order By FeedID";
    std::u16string joined_order =
        by_date ? u" Order By FeedItems.ItemDate Desc" : u" Order By FeedItems.FeedID";
    std::u16string pattern = db_detail::DoubleQuotes(term);
    std::vector<std::u16string> queries;
    if (fields.title) {
        queries.push_back(u"Select FeedItemID,Title,FeedID From FeedItems Where Title Like '%" + pattern +
                          u"%'" + plain_order);
    }
    if (fields.keywords) {
        queries.push_back(u"Select FeedItemID,Title,FeedID From FeedItems Where Keywords Like '%" + pattern +
                          u"%'" + plain_order);
    }
    if (fields.text) {
        queries.push_back(
            u"Select FeedItems.FeedItemID,FeedItems.Title,FeedItems.FeedID From FeedItems Inner Join "
            u"FeedItemShortData On FeedItems.FeedItemID = FeedItemShortData.FeedItemID Where "
            u"FeedItemShortData.TextData Like '%" +
            pattern + u"%'" + joined_order);
    }
    for (const std::u16string& query : queries) {
        ForEachRow(connection, query, [&](AdoRecordset& row) {
            std::int32_t item_id = row.Field(0).AsInt();
            if (!seen.insert(item_id).second) return;
            SearchHit hit;
            hit.feed_item_id = item_id;
            hit.title = row.Field(1).AsString();
            hit.feed_id = row.Field(2).AsInt();
            hits.push_back(std::move(hit));
        });
    }
}

void InsertMembership(AdoConnection& connection, std::int32_t view_id, std::int32_t feed_id,
                      std::int32_t item_id, std::int32_t priority) {
    connection.Execute(u"Insert Into ViewFeedItems(ViewID,FeedID,FeedItemID,Priority) Values(" +
                       Decimal(view_id) + u"," + Decimal(feed_id) + u"," + Decimal(item_id) + u"," +
                       Decimal(priority) + u")");
}

}  // namespace

DbResult<std::vector<ItemRecord>> FeedDatabase::LoadViewItems(const ViewRecord& view, bool hide_read) {
    return Run([&](AdoConnection& connection) {
        std::vector<ItemRecord> items;
        std::vector<std::int32_t> feeds = ListedFeeds(connection, view);
        if (feeds.empty()) return items;
        ViewQuota quota(view.num_to_show, static_cast<int>(feeds.size()));
        SYSTEMTIME now{};
        GetSystemTime(&now);
        now.wMilliseconds = 0;
        bool hide = view.hide_read || hide_read;
        std::unordered_set<std::int32_t> listed;  // a membership stored twice lists its item once
        for (std::int32_t feed_id : feeds) {
            quota.StartFeed();
            AdoRecordset rows;
            if (!rows.Open(FeedItemsQuery(view, feed_id), &connection)) QF_ADO_THROW(kAdoReadRefused);
            ViewQuota::Next next = ViewQuota::Next::kSameFeed;
            for (rows.MoveFirst(); !rows.IsEOF() && next == ViewQuota::Next::kSameFeed; rows.MoveNext()) {
                ItemRecord item = db_detail::ReadListedItem(rows);
                if (listed.count(item.feed_item_id) != 0) continue;
                if (!IsItemListed(item.status, hide, view.hide_after, SecondsBetween(item.item_date, now)))
                    continue;
                listed.insert(item.feed_item_id);
                items.push_back(std::move(item));
                next = quota.Count();
            }
            if (next == ViewQuota::Next::kStop) break;
        }
        if (view.SortedBy(ViewSort::kItemsByDate)) SortNewestFirst(items);
        return items;
    });
}

DbResult<std::vector<SearchHit>> FeedDatabase::Search(const std::u16string& term, SearchFields fields,
                                                      bool by_date) {
    std::u16string trimmed = TrimBlanks(term);
    if (trimmed.empty()) return DbError::kRefused;
    return Run([&](AdoConnection& connection) {
        std::unordered_set<std::int32_t> seen;
        std::vector<SearchHit> hits;
        CollectHits(connection, trimmed, fields, by_date, seen, hits);
        return hits;
    });
}

DbStatus FeedDatabase::RebuildWhatsNew() {
    return Run([&](AdoConnection& connection) {
        db_detail::ExecuteForId(
            connection,
            {u"Delete From ViewFeeds Where ViewID = ", u"Delete From ViewFeedItems Where ViewID = "},
            schema::kWhatsNewViewId);
        struct Newest {
            std::int32_t item_id;
            std::int32_t feed_id;
        };
        std::vector<Newest> newest;
        AdoRecordset rows;
        if (!rows.Open(u"Select FeedItemID,FeedID From FeedItems Where Status <> 0 Order By ItemDate "
                       u"Desc,FeedItemID Desc",
                       &connection)) {
            QF_ADO_THROW(kAdoReadRefused);
        }
        for (rows.MoveFirst(); !rows.IsEOF() && newest.size() < kWhatsNewSize; rows.MoveNext()) {
            newest.push_back({rows.Field(0).AsInt(), rows.Field(1).AsInt()});
        }
        rows.Close();
        for (const Newest& item : newest) {
            InsertMembership(connection, schema::kWhatsNewViewId, item.feed_id, item.item_id, 0);
        }
    });
}

DbStatus FeedDatabase::RebuildKeywordView(std::int32_t view_id, SearchFields fields) {
    if (view_id == schema::kWhatsNewViewId) return DbError::kRefused;
    DbResult<ViewRecord> view = LoadView(view_id);
    if (!view) return view.error();
    if (!view->is_keyword_view) return DbError::kRefused;
    return Run([&](AdoConnection& connection) {
        db_detail::ExecuteForId(
            connection,
            {u"Delete From ViewFeeds Where ViewID = ", u"Delete From ViewFeedItems Where ViewID = "},
            view_id);
        std::vector<SearchHit> hits;
        std::unordered_set<std::int32_t> seen;
        for (const std::u16string& keyword : SplitKeywords(view->keywords)) {
            CollectHits(connection, keyword, fields, false, seen, hits);
        }
        for (const SearchHit& hit : hits) {
            std::int32_t priority = 1;
            ForEachRow(connection, u"Select Priority From Feeds Where FeedID = " + Decimal(hit.feed_id),
                       [&](AdoRecordset& row) { priority = row.Field(0).AsShort(); });
            InsertMembership(connection, view_id, hit.feed_id, hit.feed_item_id, priority);
        }
    });
}

}  // namespace qf
