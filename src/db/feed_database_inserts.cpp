// Adding views, subscriptions and feeds, as the import, the subscription refresh and the command line do.
#include "db/feed_database.h"
#include "db/row_ids.h"
#include "db/row_readers.h"
#include "db/schema.h"
#include "parse/dates.h"
#include "parse/text_cleanup.h"

namespace qf {

using db_detail::Decimal;

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

}  // namespace

void FeedDatabase::AddViewRow(AdoConnection& connection, ViewRecord& view) {
    view.view_id = TakeUnusedId(connection, IdColumn::kViewId, view.view_id);
    AdoRecordset rows;
    StartNewRow(
        rows, connection,
        u"Select ViewID,ParentID,Label,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,SortBy,Status,"
        u"Keywords,DateEntered From Views Where ViewID = 0");
    rows.Field(0).SetInt(view.view_id);
    rows.Field(1).SetInt(view.parent_id);
    rows.Field(2).SetString(view.label);
    rows.Field(3).SetShort(view.read_after);
    rows.Field(4).SetShort(view.hide_after);
    rows.Field(5).SetShort(view.num_to_show);
    rows.Field(6).SetBool(view.hide_read);
    rows.Field(7).SetBool(view.dpad_skip_read);
    rows.Field(8).SetShort(view.sort_by);
    rows.Field(9).SetShort(view.status);
    rows.Field(10).SetString(view.keywords);
    rows.Field(11).SetDate(NowGmtSystemTime());
    rows.Update();
}

void FeedDatabase::AddSubscriptionRow(AdoConnection& connection, SubscriptionRecord& subscription,
                                      std::int32_t view_id) {
    subscription.subscription_id =
        TakeUnusedId(connection, IdColumn::kSubscriptionId, subscription.subscription_id);
    subscription.view_id = view_id;
    AdoRecordset rows;
    StartNewRow(
        rows, connection,
        u"Select SubscriptionID,ViewID,Title,SubscriptionUrl,IsFromFile,DateEntered From Subscriptions Where "
        u"SubscriptionID = 0");
    rows.Field(0).SetInt(subscription.subscription_id);
    rows.Field(1).SetInt(view_id);
    rows.Field(2).SetString(DecodeEntities(subscription.title));
    rows.Field(3).SetString(DecodeEntities(subscription.subscription_url));
    rows.Field(4).SetBool(subscription.is_from_file);
    rows.Field(5).SetDate(subscription.date_entered);
    rows.Update();
}

void FeedDatabase::AddFeedRows(AdoConnection& connection, FeedRecord& feed, std::int32_t view_id,
                               std::int32_t subscription_id) {
    feed.feed_id = TakeUnusedId(connection, IdColumn::kFeedId, feed.feed_id);
    AdoRecordset rows;
    StartNewRow(
        rows, connection,
        u"Select FeedID,Title,GUID,FeedType,FeedUrl,LinkUrl,Description1,Description2,ReloadFrequency,"
        u"ReadAfter,MaxItems,ExtendedData,ExtendedAudio,Priority,Status,LastDigestKey,LastDownloadDate,"
        u"LastFeedDate,DateEntered From Feeds Where FeedID = 0");
    db_detail::SplitText description = db_detail::SplitColumns(feed.description);
    rows.Field(0).SetInt(feed.feed_id);
    rows.Field(1).SetString(CleanTitle(feed.title));
    rows.Field(2).SetString(feed.guid);
    rows.Field(3).SetShort(feed.feed_type);
    rows.Field(4).SetString(CleanLink(feed.feed_url));
    rows.Field(5).SetString(CleanLink(feed.link_url));
    rows.Field(6).SetString(description.first);
    rows.Field(7).SetString(description.second);
    rows.Field(8).SetShort(feed.reload_frequency);
    rows.Field(9).SetShort(feed.read_after);
    rows.Field(10).SetShort(feed.max_items);
    rows.Field(11).SetBool(feed.extended_data);
    rows.Field(12).SetBool(feed.extended_audio);
    rows.Field(13).SetShort(feed.priority);
    rows.Field(14).SetShort(feed.status);
    rows.Field(15).SetString(feed.last_digest_key);
    rows.Field(16).SetDate(feed.last_download_date);
    rows.Field(17).SetDate(feed.last_feed_date);
    rows.Field(18).SetDate(feed.date_entered);
    rows.Update();
    rows.Close();
    if (view_id != 0) {
        connection.Execute(u"Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(" + Decimal(view_id) +
                           u"," + Decimal(feed.feed_id) + u"," + Decimal(feed.priority) + u")");
    }
    if (subscription_id != 0) {
        connection.Execute(u"Insert Into SubscriptionFeeds(SubscriptionID,FeedID) Values(" +
                           Decimal(subscription_id) + u"," + Decimal(feed.feed_id) + u")");
    }
}

bool FeedDatabase::AddView(ViewRecord& view) {
    return Run(false, [&](AdoConnection& connection) {
        AddViewRow(connection, view);
        return true;
    });
}

std::int32_t FeedDatabase::AddSubscription(SubscriptionRecord& subscription, SubscriptionView view) {
    return Run(0, [&](AdoConnection& connection) {
        std::int32_t view_id = schema::kWhatsNewViewId;
        if (view == SubscriptionView::kOwnView) {
            ViewRecord own;
            own.label = DecodeEntities(subscription.title);
            AddViewRow(connection, own);
            view_id = own.view_id;
        }
        AddSubscriptionRow(connection, subscription, view_id);
        return view_id;
    });
}

bool FeedDatabase::AddFeed(FeedRecord& feed, std::int32_t view_id, std::int32_t subscription_id) {
    return Run(false, [&](AdoConnection& connection) {
        AddFeedRows(connection, feed, view_id, subscription_id);
        return true;
    });
}

}  // namespace qf
