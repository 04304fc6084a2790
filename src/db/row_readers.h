// Shared pieces of the database operations: statement text building and the readers that turn the
// current row of a recordset into a record, each for one fixed select list. Internal to src/db.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/records.h"
#include "shared/adoclass31.h"

namespace qf::db_detail {

// A number in decimal, as the statements write them.
std::u16string Decimal(long long value);

// Calls `read(recordset)` for every row of the read-only query `sql`; a query that does not open reads
// nothing. Record-layer exceptions pass through.
template <typename Read>
void ForEachRow(AdoConnection& connection, const std::u16string& sql, Read&& read) {
    AdoRecordset rows;
    if (!rows.Open(sql, &connection)) return;
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) read(rows);
}

// As ForEachRow, but a query that does not open throws, so that the operation fails instead of
// reporting that nothing was found.
template <typename Read>
void ForEachRequiredRow(AdoConnection& connection, const std::u16string& sql, Read&& read) {
    AdoRecordset rows;
    if (!rows.Open(sql, &connection)) QF_ADO_THROW(kAdoReadRefused);
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) read(rows);
}

// `text` for use between the single quotes of a statement: every single quote doubled.
std::u16string DoubleQuotes(std::u16string_view text);

// The active feeds' summary columns, to be followed by an Order By clause, and the reader that fills
// the six fields of a FeedRecord or a listing's FeedEntry from them.
inline constexpr char16_t kSelectActiveFeedSummaries[] =
    u"Select FeedID,Title,Status,Priority,LastFeedDate,FeedUrl From Feeds Where Status <> 0 Order By ";
template <typename Feed>
Feed ReadFeedSummary(AdoRecordset& row) {
    Feed feed;
    feed.feed_id = row.Field(0).AsInt();
    feed.title = row.Field(1).AsString();
    feed.status = row.Field(2).AsShort();
    feed.priority = row.Field(3).AsShort();
    feed.last_feed_date = row.Field(4).AsDate();
    feed.feed_url = row.Field(5).AsString();
    return feed;
}

// Executes each statement followed by `id`.
void ExecuteForId(AdoConnection& connection, const std::vector<const char16_t*>& statements, long long id);

// "Select FeedID,Title,Status,GUID,FeedType,FeedUrl,LinkUrl,Description1,Description2,Priority,
// ReloadFrequency,ReadAfter,MaxItems,ExtendedData,ExtendedAudio,LastDigestKey,LastDownloadDate,
// LastFeedDate,DateEntered From Feeds" and its reader.
extern const char16_t kSelectFeeds[];
FeedRecord ReadFeed(AdoRecordset& row);

// "Select ViewID,ParentID,Label,Status,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,SortBy,
// Keywords,DateEntered From Views" and its reader.
extern const char16_t kSelectViews[];
ViewRecord ReadView(AdoRecordset& row);

// "Select SubscriptionID,ViewID,Title,SubscriptionUrl,IsFromFile From Subscriptions" and its reader.
extern const char16_t kSelectSubscriptions[];
SubscriptionRecord ReadSubscription(AdoRecordset& row);

// Reader of the listed-item columns FeedItemID,FeedID,Title,Status,ItemDate,LinkUrl,LinkUrl2.
ItemRecord ReadListedItem(AdoRecordset& row);

// The two halves of a text split over two 255-character columns.
struct SplitText {
    std::u16string first;
    std::u16string second;
};
SplitText SplitColumns(const std::u16string& text);

}  // namespace qf::db_detail
