// Shared pieces of the database operations: statement text building and the readers that turn the
// current row of a recordset into a record, each for one fixed select list. Internal to src/db.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "db/records.h"
#include "shared/adoclass31.h"

namespace qf::db_detail {

// A number in decimal, as the statements write them.
std::u16string Decimal(long long value);

// Calls `read(recordset)` for every row of the read-only query `sql`. A query that does not open throws,
// so that the operation fails instead of reporting that nothing was found; record-layer exceptions pass
// through.
template <typename Read>
void ForEachRow(AdoConnection& connection, const std::u16string& sql, Read&& read) {
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
struct FeedSummaryColumn {
    enum : long { kFeedId, kTitle, kStatus, kPriority, kLastFeedDate, kFeedUrl };
};
template <typename Feed>
Feed ReadFeedSummary(AdoRecordset& row) {
    using Column = FeedSummaryColumn;
    Feed feed;
    feed.feed_id = row.Field(Column::kFeedId).AsInt();
    feed.title = row.Field(Column::kTitle).AsString();
    feed.status = row.Field(Column::kStatus).AsShort();
    feed.priority = row.Field(Column::kPriority).AsShort();
    feed.last_feed_date = row.Field(Column::kLastFeedDate).AsDate();
    feed.feed_url = row.Field(Column::kFeedUrl).AsString();
    return feed;
}

// `ids` in their order with repeats left out.
std::vector<std::int32_t> Distinct(const std::vector<std::int32_t>& ids);

// Executes each statement followed by `id`.
void ExecuteForId(AdoConnection& connection, const std::vector<const char16_t*>& statements, long long id);

// The whole feed row, its columns and its reader.
inline constexpr char16_t kSelectFeeds[] =
    u"Select FeedID,Title,Status,GUID,FeedType,FeedUrl,LinkUrl,Description1,Description2,Priority,"
    u"ReloadFrequency,ReadAfter,MaxItems,ExtendedData,ExtendedAudio,LastDigestKey,LastDownloadDate,"
    u"LastFeedDate,DateEntered From Feeds";
struct FeedColumn {
    enum : long {
        kFeedId,
        kTitle,
        kStatus,
        kGuid,
        kFeedType,
        kFeedUrl,
        kLinkUrl,
        kDescription1,
        kDescription2,
        kPriority,
        kReloadFrequency,
        kReadAfter,
        kMaxItems,
        kExtendedData,
        kExtendedAudio,
        kLastDigestKey,
        kLastDownloadDate,
        kLastFeedDate,
        kDateEntered,
    };
};
FeedRecord ReadFeed(AdoRecordset& row);

// The whole view row, its columns and its reader.
inline constexpr char16_t kSelectViews[] =
    u"Select "
    u"ViewID,ParentID,Label,Status,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,SortBy,Keywords,"
    u"DateEntered From Views";
struct ViewColumn {
    enum : long {
        kViewId,
        kParentId,
        kLabel,
        kStatus,
        kReadAfter,
        kHideAfter,
        kNumToShow,
        kHideRead,
        kDpadSkipRead,
        kSortBy,
        kKeywords,
        kDateEntered,
    };
};
ViewRecord ReadView(AdoRecordset& row);

// The view row in the column order in which it is added and changed, followed by the view id, and the
// writer of the settings a change sets (ReadAfter to Keywords).
inline constexpr char16_t kSelectChangedViews[] =
    u"Select ViewID,ParentID,Label,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,SortBy,Status,"
    u"Keywords,DateEntered From Views Where ViewID = ";
struct ChangedViewColumn {
    enum : long {
        kViewId,
        kParentId,
        kLabel,
        kReadAfter,
        kHideAfter,
        kNumToShow,
        kHideRead,
        kDpadSkipRead,
        kSortBy,
        kStatus,
        kKeywords,
        kDateEntered,
    };
};
void WriteViewSettings(AdoRecordset& row, const ViewRecord& view);

// The subscription row, its columns and its reader.
inline constexpr char16_t kSelectSubscriptions[] =
    u"Select SubscriptionID,ViewID,Title,SubscriptionUrl,IsFromFile From Subscriptions";
struct SubscriptionColumn {
    enum : long { kSubscriptionId, kViewId, kTitle, kSubscriptionUrl, kIsFromFile };
};
SubscriptionRecord ReadSubscription(AdoRecordset& row);

// The listed-item columns of an item query and their reader.
inline constexpr char16_t kListedItemColumns[] = u"FeedItemID,FeedID,Title,Status,ItemDate,LinkUrl,LinkUrl2";
struct ListedItemColumn {
    enum : long { kFeedItemId, kFeedId, kTitle, kStatus, kItemDate, kLinkUrl, kLinkUrl2 };
};
ItemRecord ReadListedItem(AdoRecordset& row);

// The audio list of FeedItemAudioData.Status `status` (1 downloaded, oldest first; 0 pending, newest
// first), each record with its feed's folder name.
std::vector<AudioRecord> ReadAudio(AdoConnection& connection, std::int16_t status);

// The two halves of a text split over two 255-character columns.
struct SplitText {
    std::u16string first;
    std::u16string second;
};
SplitText SplitColumns(const std::u16string& text);

}  // namespace qf::db_detail
