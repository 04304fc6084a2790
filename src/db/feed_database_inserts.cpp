// Adding views, subscriptions and feeds, as the import, the subscription refresh and the command line do.
#include "db/feed_database.h"
#include "db/row_ids.h"
#include "db/row_readers.h"
#include "db/row_writers.h"
#include "db/schema.h"
#include "parse/dates.h"
#include "parse/text_cleanup.h"

namespace qf {

using db_detail::Decimal;

namespace db_detail {
namespace {

// Opens the empty recordset of `sql` (a select on id 0) for change and starts a new row in it.
void StartNewRow(AdoRecordset& rows, AdoConnection& connection, const std::u16string& sql) {
    if (!rows.Open(sql, &connection, adOpenDynamic, adLockPessimistic)) QF_ADO_THROW(kAdoUpdateRefused);
    rows.AddNew();
}

std::u16string CleanTitle(const std::u16string& title) {
    return StripMarkup(DecodeEntities(DecodeEntities(title)));
}
std::u16string CleanLink(const std::u16string& link) { return StripCdata(DecodeEntities(link)); }

constexpr char16_t kNewSubscriptionRow[] =
    u"Select SubscriptionID,ViewID,Title,SubscriptionUrl,IsFromFile,DateEntered From Subscriptions Where "
    u"SubscriptionID = 0";
struct NewSubscriptionColumn {
    enum : long { kSubscriptionId, kViewId, kTitle, kSubscriptionUrl, kIsFromFile, kDateEntered };
};

constexpr char16_t kNewFeedRow[] =
    u"Select FeedID,Title,GUID,FeedType,FeedUrl,LinkUrl,Description1,Description2,ReloadFrequency,"
    u"ReadAfter,MaxItems,ExtendedData,ExtendedAudio,Priority,Status,LastDigestKey,LastDownloadDate,"
    u"LastFeedDate,DateEntered From Feeds Where FeedID = 0";
struct NewFeedColumn {
    enum : long {
        kFeedId,
        kTitle,
        kGuid,
        kFeedType,
        kFeedUrl,
        kLinkUrl,
        kDescription1,
        kDescription2,
        kReloadFrequency,
        kReadAfter,
        kMaxItems,
        kExtendedData,
        kExtendedAudio,
        kPriority,
        kStatus,
        kLastDigestKey,
        kLastDownloadDate,
        kLastFeedDate,
        kDateEntered,
    };
};

}  // namespace

void AddViewRow(AdoConnection& connection, ViewRecord& view) {
    using Column = ChangedViewColumn;
    view.view_id = TakeUnusedId(connection, IdColumn::kViewId, view.view_id);
    AdoRecordset rows;
    StartNewRow(rows, connection, std::u16string(kSelectChangedViews) + u"0");
    rows.Field(Column::kViewId).SetInt(view.view_id);
    rows.Field(Column::kParentId).SetInt(view.parent_id);
    rows.Field(Column::kLabel).SetString(view.label);
    WriteViewSettings(rows, view);
    rows.Field(Column::kDateEntered).SetDate(NowGmtSystemTime());
    rows.Update();
}

void AddSubscriptionRow(AdoConnection& connection, SubscriptionRecord& subscription, std::int32_t view_id) {
    using Column = NewSubscriptionColumn;
    subscription.subscription_id =
        TakeUnusedId(connection, IdColumn::kSubscriptionId, subscription.subscription_id);
    subscription.view_id = view_id;
    AdoRecordset rows;
    StartNewRow(rows, connection, kNewSubscriptionRow);
    rows.Field(Column::kSubscriptionId).SetInt(subscription.subscription_id);
    rows.Field(Column::kViewId).SetInt(view_id);
    rows.Field(Column::kTitle).SetString(DecodeEntities(subscription.title));
    rows.Field(Column::kSubscriptionUrl).SetString(DecodeEntities(subscription.subscription_url));
    rows.Field(Column::kIsFromFile).SetBool(subscription.is_from_file);
    rows.Field(Column::kDateEntered).SetDate(subscription.date_entered);
    rows.Update();
}

void AddFeedRows(AdoConnection& connection, FeedRecord& feed, std::int32_t view_id,
                 std::int32_t subscription_id) {
    using Column = NewFeedColumn;
    feed.feed_id = TakeUnusedId(connection, IdColumn::kFeedId, feed.feed_id);
    AdoRecordset rows;
    StartNewRow(rows, connection, kNewFeedRow);
    SplitText description = SplitColumns(feed.description);
    rows.Field(Column::kFeedId).SetInt(feed.feed_id);
    rows.Field(Column::kTitle).SetString(CleanTitle(feed.title));
    rows.Field(Column::kGuid).SetString(feed.guid);
    rows.Field(Column::kFeedType).SetShort(feed.feed_type);
    rows.Field(Column::kFeedUrl).SetString(CleanLink(feed.feed_url));
    rows.Field(Column::kLinkUrl).SetString(CleanLink(feed.link_url));
    rows.Field(Column::kDescription1).SetString(description.first);
    rows.Field(Column::kDescription2).SetString(description.second);
    rows.Field(Column::kReloadFrequency).SetShort(feed.reload_frequency);
    rows.Field(Column::kReadAfter).SetShort(feed.read_after);
    rows.Field(Column::kMaxItems).SetShort(feed.max_items);
    rows.Field(Column::kExtendedData).SetBool(feed.extended_data);
    rows.Field(Column::kExtendedAudio).SetBool(feed.extended_audio);
    rows.Field(Column::kPriority).SetShort(feed.priority);
    rows.Field(Column::kStatus).SetShort(feed.status);
    rows.Field(Column::kLastDigestKey).SetString(feed.last_digest_key);
    rows.Field(Column::kLastDownloadDate).SetDate(feed.last_download_date);
    rows.Field(Column::kLastFeedDate).SetDate(feed.last_feed_date);
    rows.Field(Column::kDateEntered).SetDate(feed.date_entered);
    rows.Update();
    rows.Close();
    if (view_id != 0) InsertViewFeed(connection, view_id, feed.feed_id, feed.priority);
    if (subscription_id != 0) InsertSubscriptionFeed(connection, subscription_id, feed.feed_id);
}

void InsertViewFeed(AdoConnection& connection, std::int32_t view_id, std::int32_t feed_id,
                    std::int32_t priority) {
    connection.Execute(u"Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(" + Decimal(view_id) + u"," +
                       Decimal(feed_id) + u"," + Decimal(priority) + u")");
}

void InsertSubscriptionFeed(AdoConnection& connection, std::int32_t subscription_id, std::int32_t feed_id) {
    connection.Execute(u"Insert Into SubscriptionFeeds(SubscriptionID,FeedID) Values(" +
                       Decimal(subscription_id) + u"," + Decimal(feed_id) + u")");
}

}  // namespace db_detail

DbStatus FeedDatabase::AddView(ViewRecord& view) {
    return Run([&](AdoConnection& connection) { db_detail::AddViewRow(connection, view); });
}

DbResult<std::int32_t> FeedDatabase::AddSubscription(SubscriptionRecord& subscription,
                                                     SubscriptionView view) {
    return Run([&](AdoConnection& connection) {
        std::int32_t view_id = schema::kWhatsNewViewId;
        if (view == SubscriptionView::kOwnView) {
            ViewRecord own;
            own.label = DecodeEntities(subscription.title);
            db_detail::AddViewRow(connection, own);
            view_id = own.view_id;
        }
        db_detail::AddSubscriptionRow(connection, subscription, view_id);
        return view_id;
    });
}

DbStatus FeedDatabase::AddFeed(FeedRecord& feed, std::int32_t view_id, std::int32_t subscription_id) {
    return Run([&](AdoConnection& connection) {
        db_detail::AddFeedRows(connection, feed, view_id, subscription_id);
    });
}

}  // namespace qf
