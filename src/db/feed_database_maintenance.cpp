// Deletions, status changes and record updates. The file has no foreign keys, so each removal deletes
// the dependent rows of the other tables itself, in a fixed order, and the audio files of removed items.
#include <unordered_set>

#include "db/feed_database.h"
#include "db/listing_rules.h"
#include "db/row_readers.h"
#include "db/schema.h"

namespace qf {

using db_detail::Decimal;
using db_detail::ExecuteForId;
using db_detail::ForEachRow;

namespace {

const std::vector<const char16_t*> kDeleteItemRows = {
    u"Delete From ViewFeedItems Where FeedItemID = ",     u"Delete From FeedItems Where FeedItemID = ",
    u"Delete From FeedItemShortData Where FeedItemID = ", u"Delete From FeedItemLongData Where FeedItemID = ",
    u"Delete From FeedItemAudioData Where FeedItemID = ",
};

// The rows of a feed's items, as clearing and deleting a feed remove them.
const std::vector<const char16_t*> kDeleteFeedItemRows = {
    u"Delete From ViewFeedItems Where FeedID = ",     u"Delete From FeedItems Where FeedID = ",
    u"Delete From FeedItemShortData Where FeedID = ", u"Delete From FeedItemLongData Where FeedID = ",
    u"Delete From FeedItemAudioData Where FeedID = ",
};

// A feed's dates after a reset: 1 January 1900 at the current time of day, so the next download
// takes everything afresh.
SYSTEMTIME ResetDate() {
    SYSTEMTIME date{};
    GetLocalTime(&date);
    date.wYear = 1900;
    date.wMonth = 1;
    date.wDay = 1;
    date.wDayOfWeek = 1;
    return date;
}

void SetKeepOnTexts(AdoConnection& connection, std::int32_t item_id, std::int16_t keep) {
    for (const char16_t* table : {u"FeedItemShortData", u"FeedItemLongData"}) {
        AdoRecordset rows;
        if (!rows.Open(
                u"Select Keep from " + std::u16string(table) + u" Where FeedItemID = " + Decimal(item_id),
                &connection, adOpenDynamic, adLockPessimistic)) {
            continue;
        }
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
            rows.Field(0).SetShort(keep);
            rows.Update();
        }
    }
}

// Opens the one row of `sql` for change and applies `change` to it; nothing when there is no row.
template <typename Change>
void ChangeRow(AdoConnection& connection, const std::u16string& sql, Change&& change) {
    AdoRecordset row;
    if (!row.Open(sql, &connection, adOpenDynamic, adLockPessimistic) || row.IsEOF()) return;
    change(row);
    row.Update();
}

void InsertViewFeed(AdoConnection& connection, std::int32_t view_id, std::int32_t feed_id) {
    connection.Execute(u"Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(" + Decimal(view_id) + u"," +
                       Decimal(feed_id) + u",0)");
}

// `ids` in their order with repeats left out.
std::vector<std::int32_t> Distinct(const std::vector<std::int32_t>& ids) {
    std::vector<std::int32_t> distinct;
    std::unordered_set<std::int32_t> seen;
    for (std::int32_t id : ids) {
        if (seen.insert(id).second) distinct.push_back(id);
    }
    return distinct;
}

// What's New and Search Results: the item relies on both, so no deletion removes them (a subscription
// restored from a backup is attached to What's New).
bool IsBuiltInView(std::int32_t view_id) {
    return view_id == schema::kWhatsNewViewId || view_id == schema::kSearchResultsViewId;
}

}  // namespace

void FeedDatabase::DeleteAudioFile(const AudioRecord& record) {
    DeleteFileW(AudioFilePath(audio_folder(), record).c_str());
}

void FeedDatabase::DeleteAudioOfItem(std::int32_t item_id) {
    for (const AudioRecord& record : audio_) {
        if (record.feed_item_id == item_id) {
            DeleteAudioFile(record);
            return;
        }
    }
}

bool FeedDatabase::DeleteView(std::int32_t view_id) {
    if (IsBuiltInView(view_id)) return false;
    return Run(false, [&](AdoConnection& connection) {
        ExecuteForId(connection,
                     {u"Delete From Views Where ViewID = ", u"Delete From ViewFeeds Where ViewID = ",
                      u"Delete From ViewFeedItems Where ViewID = "},
                     view_id);
        return true;
    });
}

bool FeedDatabase::ClearViewMemberships(std::int32_t view_id) {
    return Run(false, [&](AdoConnection& connection) {
        ExecuteForId(connection,
                     {u"Delete From ViewFeeds Where ViewID = ", u"Delete From ViewFeedItems Where ViewID = "},
                     view_id);
        return true;
    });
}

bool FeedDatabase::DeleteFeed(std::int32_t feed_id) {
    return Run(false, [&](AdoConnection& connection) {
        LoadAudioInto(connection, 1);
        for (const AudioRecord& record : audio_) {
            if (record.feed_id == feed_id) DeleteAudioFile(record);
        }
        RemoveDirectoryW((audio_folder() + u"\\" + Decimal(feed_id)).c_str());
        ExecuteForId(
            connection,
            {u"Delete From Feeds Where FeedID = ", u"Delete From ViewFeeds Where FeedID = ",
             u"Delete From ViewFeedItems Where FeedID = ", u"Delete From SubscriptionFeeds Where FeedID = "},
            feed_id);
        ExecuteForId(connection, {kDeleteFeedItemRows.begin() + 1, kDeleteFeedItemRows.end()}, feed_id);
        return true;
    });
}

bool FeedDatabase::ClearFeed(std::int32_t feed_id) {
    return Run(false, [&](AdoConnection& connection) {
        LoadAudioInto(connection, 1);
        for (const AudioRecord& record : audio_) {
            if (record.feed_id == feed_id) DeleteAudioFile(record);
        }
        SYSTEMTIME reset = ResetDate();
        ChangeRow(
            connection,
            u"Select FeedID,Status,LastDigestKey,LastDownloadDate,LastFeedDate From Feeds Where FeedID = " +
                Decimal(feed_id),
            [&](AdoRecordset& row) {
                row.Field(1).SetShort(kFeedActive);
                row.Field(2).SetString(u"");
                row.Field(3).SetDate(reset);
                row.Field(4).SetDate(reset);
            });
        ExecuteForId(connection, kDeleteFeedItemRows, feed_id);
        return true;
    });
}

bool FeedDatabase::DeleteItem(std::int32_t item_id) {
    return Run(false, [&](AdoConnection& connection) {
        ExecuteForId(connection, kDeleteItemRows, item_id);
        DeleteAudioOfItem(item_id);
        return true;
    });
}

bool FeedDatabase::DeleteItemAudio(std::int32_t item_id) {
    return Run(false, [&](AdoConnection& connection) {
        ExecuteForId(connection, {u"Delete From FeedItemAudioData Where FeedItemID = "}, item_id);
        DeleteAudioOfItem(item_id);
        return true;
    });
}

std::vector<std::int32_t> FeedDatabase::FeedIdsOfSubscription(AdoConnection& connection,
                                                              std::int32_t subscription_id) {
    std::vector<std::int32_t> feed_ids;
    ForEachRow(connection,
               u"Select FeedID From SubscriptionFeeds Where SubscriptionID = " + Decimal(subscription_id),
               [&](AdoRecordset& row) { feed_ids.push_back(row.Field(0).AsInt()); });
    return feed_ids;
}

bool FeedDatabase::DeleteSubscription(std::int32_t subscription_id) {
    return Run(false, [&](AdoConnection& connection) {
        std::int32_t view_id = 0;
        ForEachRow(connection,
                   std::u16string(db_detail::kSelectSubscriptions) + u" Where SubscriptionID = " +
                       Decimal(subscription_id),
                   [&](AdoRecordset& row) { view_id = row.Field(1).AsInt(); });
        std::vector<std::int32_t> feed_ids = FeedIdsOfSubscription(connection, subscription_id);
        ExecuteForId(connection, {u"Delete From Subscriptions Where SubscriptionID = "}, subscription_id);
        if (view_id != 0 && !IsBuiltInView(view_id))
            ExecuteForId(connection, {u"Delete From Views Where ViewID = "}, view_id);
        ExecuteForId(connection, {u"Delete From SubscriptionFeeds Where SubscriptionID = "}, subscription_id);
        for (std::int32_t feed_id : feed_ids) {
            ExecuteForId(connection,
                         {u"Delete From Feeds Where FeedID = ", u"Delete From ViewFeeds Where FeedID = "},
                         feed_id);
            ExecuteForId(connection, kDeleteFeedItemRows, feed_id);
        }
        return true;
    });
}

bool FeedDatabase::DeleteAllItems() {
    bool deleted = Run(false, [&](AdoConnection& connection) {
        for (const char16_t* table : {u"ViewFeedItems", u"FeedItems", u"FeedItemShortData",
                                      u"FeedItemLongData", u"FeedItemAudioData"}) {
            connection.Execute(u"Delete From " + std::u16string(table));
        }
        SYSTEMTIME reset = ResetDate();
        AdoRecordset feeds;
        if (feeds.Open(u"Select FeedID,Status,LastDigestKey,LastDownloadDate,LastFeedDate From Feeds",
                       &connection, adOpenDynamic, adLockPessimistic)) {
            for (feeds.MoveFirst(); !feeds.IsEOF(); feeds.MoveNext()) {
                // A deleted feed stays deleted; one kept for the feed list only stays so.
                std::int16_t status = feeds.Field(1).AsShort();
                if (status != kFeedDeleted && status != kFeedListOnly) feeds.Field(1).SetShort(kFeedActive);
                feeds.Field(2).SetString(u"");
                feeds.Field(3).SetDate(reset);
                feeds.Field(4).SetDate(reset);
                feeds.Update();
            }
        }
        return true;
    });
    if (!deleted) return false;
    Compact();
    return true;
}

bool FeedDatabase::SetViewFeeds(std::int32_t view_id, const std::vector<std::int32_t>& feed_ids) {
    return Run(false, [&](AdoConnection& connection) {
        ExecuteForId(connection, {u"Delete From ViewFeeds Where ViewID = "}, view_id);
        for (std::int32_t feed_id : Distinct(feed_ids)) InsertViewFeed(connection, view_id, feed_id);
        return true;
    });
}

bool FeedDatabase::SetFeedViews(std::int32_t feed_id, const std::vector<std::int32_t>& view_ids) {
    return Run(false, [&](AdoConnection& connection) {
        ExecuteForId(connection, {u"Delete From ViewFeeds Where FeedID = "}, feed_id);
        for (std::int32_t view_id : Distinct(view_ids)) InsertViewFeed(connection, view_id, feed_id);
        return true;
    });
}

bool FeedDatabase::SetItemStatus(std::int32_t item_id, std::int16_t status) {
    return Run(false, [&](AdoConnection& connection) {
        std::int16_t old_status = status;
        ChangeRow(connection,
                  u"Select FeedItemID,Status From FeedItems Where FeedItemID = " + Decimal(item_id),
                  [&](AdoRecordset& row) {
                      old_status = row.Field(1).AsShort();
                      row.Field(1).SetShort(status);
                  });
        if (status == kItemKept) {
            SetKeepOnTexts(connection, item_id, 1);
        } else if (old_status == kItemKept) {
            SetKeepOnTexts(connection, item_id, 0);
        }
        return true;
    });
}

bool FeedDatabase::UpdateViewRecord(const ViewRecord& view) {
    return Run(false, [&](AdoConnection& connection) {
        ChangeRow(
            connection,
            u"Select ViewID,ParentID,Label,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,SortBy,Status,"
            u"Keywords,DateEntered From Views Where ViewID = " +
                Decimal(view.view_id),
            [&](AdoRecordset& row) {
                row.Field(3).SetShort(view.read_after);
                row.Field(4).SetShort(view.hide_after);
                row.Field(5).SetShort(view.num_to_show);
                row.Field(6).SetBool(view.hide_read);
                row.Field(7).SetBool(view.dpad_skip_read);
                row.Field(8).SetShort(view.sort_by);
                row.Field(9).SetShort(view.status);
                row.Field(10).SetString(view.keywords);
            });
        return true;
    });
}

bool FeedDatabase::UpdateFeedRecord(const FeedRecord& feed) {
    return Run(false, [&](AdoConnection& connection) {
        ChangeRow(connection,
                  std::u16string(db_detail::kSelectFeeds) + u" Where FeedID = " + Decimal(feed.feed_id),
                  [&](AdoRecordset& row) {
                      row.Field(2).SetShort(feed.status);
                      row.Field(5).SetString(feed.feed_url);
                      row.Field(9).SetShort(feed.priority);
                      row.Field(10).SetShort(feed.reload_frequency);
                      row.Field(11).SetShort(feed.read_after);
                      row.Field(12).SetShort(feed.max_items);
                      row.Field(13).SetBool(feed.extended_data);
                      row.Field(14).SetBool(feed.extended_audio);
                  });
        return true;
    });
}

bool FeedDatabase::UpdateItemRecord(const ItemRecord& item) {
    return Run(false, [&](AdoConnection& connection) {
        ChangeRow(connection,
                  u"Select FeedItemID,FeedID,Status,Keywords From FeedItems Where FeedItemID = " +
                      Decimal(item.feed_item_id),
                  [&](AdoRecordset& row) {
                      row.Field(2).SetShort(item.status);
                      row.Field(3).SetString(item.keywords);
                  });
        return true;
    });
}

bool FeedDatabase::SetFeedStatus(std::int32_t feed_id, std::int16_t status) {
    return Run(false, [&](AdoConnection& connection) {
        ChangeRow(connection, u"Select FeedID,Status From Feeds Where FeedID = " + Decimal(feed_id),
                  [&](AdoRecordset& row) { row.Field(1).SetShort(status); });
        return true;
    });
}

}  // namespace qf
