// Deletions, status changes and record updates. The file has no foreign keys, so each removal deletes
// the dependent rows of the other tables itself, in a fixed order, and the audio files of removed items.
#include "db/feed_database.h"
#include "db/listing_rules.h"
#include "db/row_readers.h"
#include "db/row_writers.h"
#include "db/schema.h"

namespace qf {

using db_detail::Decimal;
using db_detail::ExecuteForId;

namespace {

const std::vector<const char16_t*> kDeleteItemRows = {
    u"Delete From ViewFeedItems Where FeedItemID = ",     u"Delete From FeedItems Where FeedItemID = ",
    u"Delete From FeedItemShortData Where FeedItemID = ", u"Delete From FeedItemLongData Where FeedItemID = ",
    u"Delete From FeedItemAudioData Where FeedItemID = ",
};

// A feed with its memberships and its items, as every removal of a feed deletes it.
const std::vector<const char16_t*> kDeleteFeedRows = {
    u"Delete From Feeds Where FeedID = ",
    u"Delete From ViewFeeds Where FeedID = ",
    u"Delete From ViewFeedItems Where FeedID = ",
    u"Delete From SubscriptionFeeds Where FeedID = ",
    u"Delete From FeedItems Where FeedID = ",
    u"Delete From FeedItemShortData Where FeedID = ",
    u"Delete From FeedItemLongData Where FeedID = ",
    u"Delete From FeedItemAudioData Where FeedID = ",
};

// The rows of a feed's items, as clearing a feed removes them.
const std::vector<const char16_t*> kDeleteFeedItemRows = {
    u"Delete From ViewFeedItems Where FeedID = ",     u"Delete From FeedItems Where FeedID = ",
    u"Delete From FeedItemShortData Where FeedID = ", u"Delete From FeedItemLongData Where FeedID = ",
    u"Delete From FeedItemAudioData Where FeedID = ",
};

// A feed row's download state, as clearing a feed and deleting all items reset it.
constexpr char16_t kSelectFeedState[] =
    u"Select FeedID,Status,LastDigestKey,LastDownloadDate,LastFeedDate From Feeds";
struct FeedStateColumn {
    enum : long { kFeedId, kStatus, kLastDigestKey, kLastDownloadDate, kLastFeedDate };
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

// Sets the current feed row to `status` with no digest and both dates `reset`.
void ResetFeedRow(AdoRecordset& row, std::int16_t status, const SYSTEMTIME& reset) {
    using Column = FeedStateColumn;
    row.Field(Column::kStatus).SetShort(status);
    row.Field(Column::kLastDigestKey).SetString(u"");
    row.Field(Column::kLastDownloadDate).SetDate(reset);
    row.Field(Column::kLastFeedDate).SetDate(reset);
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

// What's New and Search Results: the item relies on both, so no deletion removes them (a subscription
// restored from a backup is attached to What's New).
bool IsBuiltInView(std::int32_t view_id) {
    return view_id == schema::kWhatsNewViewId || view_id == schema::kSearchResultsViewId;
}

void DeleteAudioFileOfItem(const std::vector<AudioRecord>& current_audio, std::int32_t item_id,
                           const std::u16string& audio_folder) {
    for (const AudioRecord& record : current_audio) {
        if (record.feed_item_id == item_id) {
            DeleteFileW(AudioFilePath(audio_folder, record).c_str());
            return;
        }
    }
}

}  // namespace

namespace db_detail {

void DeleteAudioFilesOfFeed(const std::vector<AudioRecord>& audio, std::int32_t feed_id,
                            const std::u16string& audio_folder) {
    for (const AudioRecord& record : audio) {
        if (record.feed_id == feed_id) DeleteFileW(AudioFilePath(audio_folder, record).c_str());
    }
}

void RemoveFeed(AdoConnection& connection, std::int32_t feed_id,
                const std::vector<AudioRecord>& downloaded_audio, const std::u16string& audio_folder) {
    DeleteAudioFilesOfFeed(downloaded_audio, feed_id, audio_folder);
    RemoveDirectoryW((audio_folder + u"\\" + Decimal(feed_id)).c_str());
    ExecuteForId(connection, kDeleteFeedRows, feed_id);
}

std::int32_t ViewOfSubscription(AdoConnection& connection, std::int32_t subscription_id) {
    std::int32_t view_id = 0;
    ForEachRow(connection,
               std::u16string(kSelectSubscriptions) + u" Where SubscriptionID = " + Decimal(subscription_id),
               [&](AdoRecordset& row) { view_id = ReadSubscription(row).view_id; });
    return view_id;
}

std::vector<std::int32_t> FeedIdsOfSubscription(AdoConnection& connection, std::int32_t subscription_id) {
    std::vector<std::int32_t> feed_ids;
    ForEachRow(connection,
               u"Select FeedID From SubscriptionFeeds Where SubscriptionID = " + Decimal(subscription_id),
               [&](AdoRecordset& row) { feed_ids.push_back(row.Field(0).AsInt()); });
    return feed_ids;
}

}  // namespace db_detail

DbStatus FeedDatabase::DeleteView(std::int32_t view_id) {
    if (IsBuiltInView(view_id)) return DbError::kRefused;
    return Run([&](AdoConnection& connection) {
        ExecuteForId(connection,
                     {u"Delete From Views Where ViewID = ", u"Delete From ViewFeeds Where ViewID = ",
                      u"Delete From ViewFeedItems Where ViewID = "},
                     view_id);
    });
}

DbStatus FeedDatabase::ClearViewMemberships(std::int32_t view_id) {
    return Run([&](AdoConnection& connection) {
        ExecuteForId(connection,
                     {u"Delete From ViewFeeds Where ViewID = ", u"Delete From ViewFeedItems Where ViewID = "},
                     view_id);
    });
}

DbStatus FeedDatabase::DeleteFeed(std::int32_t feed_id) {
    return Run([&](AdoConnection& connection) {
        db_detail::RemoveFeed(connection, feed_id, db_detail::ReadAudio(connection, 1), audio_folder());
    });
}

DbStatus FeedDatabase::ClearFeed(std::int32_t feed_id) {
    return Run([&](AdoConnection& connection) {
        db_detail::DeleteAudioFilesOfFeed(db_detail::ReadAudio(connection, 1), feed_id, audio_folder());
        SYSTEMTIME reset = ResetDate();
        ChangeRow(connection, std::u16string(kSelectFeedState) + u" Where FeedID = " + Decimal(feed_id),
                  [&](AdoRecordset& row) { ResetFeedRow(row, kFeedActive, reset); });
        ExecuteForId(connection, kDeleteFeedItemRows, feed_id);
    });
}

DbStatus FeedDatabase::DeleteItem(std::int32_t item_id, const std::vector<AudioRecord>& current_audio) {
    return Run([&](AdoConnection& connection) {
        ExecuteForId(connection, kDeleteItemRows, item_id);
        DeleteAudioFileOfItem(current_audio, item_id, audio_folder());
    });
}

DbStatus FeedDatabase::DeleteItemAudio(std::int32_t item_id, const std::vector<AudioRecord>& current_audio) {
    return Run([&](AdoConnection& connection) {
        ExecuteForId(connection, {u"Delete From FeedItemAudioData Where FeedItemID = "}, item_id);
        DeleteAudioFileOfItem(current_audio, item_id, audio_folder());
    });
}

DbStatus FeedDatabase::DeleteSubscription(std::int32_t subscription_id) {
    return Run([&](AdoConnection& connection) {
        std::int32_t view_id = db_detail::ViewOfSubscription(connection, subscription_id);
        std::vector<std::int32_t> feed_ids = db_detail::FeedIdsOfSubscription(connection, subscription_id);
        ExecuteForId(connection, {u"Delete From Subscriptions Where SubscriptionID = "}, subscription_id);
        if (view_id != 0 && !IsBuiltInView(view_id))
            ExecuteForId(connection, {u"Delete From Views Where ViewID = "}, view_id);
        ExecuteForId(connection, {u"Delete From SubscriptionFeeds Where SubscriptionID = "}, subscription_id);
        std::vector<AudioRecord> downloaded_audio = db_detail::ReadAudio(connection, 1);
        for (std::int32_t feed_id : feed_ids) {
            db_detail::RemoveFeed(connection, feed_id, downloaded_audio, audio_folder());
        }
    });
}

DbStatus FeedDatabase::DeleteAllItems() {
    DbStatus deleted = Run([&](AdoConnection& connection) {
        for (const char16_t* table : {u"ViewFeedItems", u"FeedItems", u"FeedItemShortData",
                                      u"FeedItemLongData", u"FeedItemAudioData"}) {
            connection.Execute(u"Delete From " + std::u16string(table));
        }
        SYSTEMTIME reset = ResetDate();
        AdoRecordset feeds;
        if (feeds.Open(kSelectFeedState, &connection, adOpenDynamic, adLockPessimistic)) {
            for (feeds.MoveFirst(); !feeds.IsEOF(); feeds.MoveNext()) {
                // A deleted feed stays deleted; one kept for the feed list only stays so.
                std::int16_t status = feeds.Field(FeedStateColumn::kStatus).AsShort();
                bool keeps_status = status == kFeedDeleted || status == kFeedListOnly;
                ResetFeedRow(feeds, keeps_status ? status : kFeedActive, reset);
                feeds.Update();
            }
        }
    });
    if (!deleted) return deleted;
    Compact();
    return {};
}

DbStatus FeedDatabase::SetViewFeeds(std::int32_t view_id, const std::vector<std::int32_t>& feed_ids) {
    return Run([&](AdoConnection& connection) {
        ExecuteForId(connection, {u"Delete From ViewFeeds Where ViewID = "}, view_id);
        for (std::int32_t feed_id : db_detail::Distinct(feed_ids))
            db_detail::InsertViewFeed(connection, view_id, feed_id, 0);
    });
}

DbStatus FeedDatabase::SetFeedViews(std::int32_t feed_id, const std::vector<std::int32_t>& view_ids) {
    return Run([&](AdoConnection& connection) {
        ExecuteForId(connection, {u"Delete From ViewFeeds Where FeedID = "}, feed_id);
        for (std::int32_t view_id : db_detail::Distinct(view_ids))
            db_detail::InsertViewFeed(connection, view_id, feed_id, 0);
    });
}

DbStatus FeedDatabase::SetItemStatus(std::int32_t item_id, std::int16_t status) {
    return Run([&](AdoConnection& connection) {
        constexpr long kStatusColumn = 1;
        std::int16_t old_status = status;
        ChangeRow(connection,
                  u"Select FeedItemID,Status From FeedItems Where FeedItemID = " + Decimal(item_id),
                  [&](AdoRecordset& row) {
                      old_status = row.Field(kStatusColumn).AsShort();
                      row.Field(kStatusColumn).SetShort(status);
                  });
        if (status == kItemKept) {
            SetKeepOnTexts(connection, item_id, 1);
        } else if (old_status == kItemKept) {
            SetKeepOnTexts(connection, item_id, 0);
        }
    });
}

DbStatus FeedDatabase::UpdateViewRecord(const ViewRecord& view) {
    return Run([&](AdoConnection& connection) {
        ChangeRow(connection, std::u16string(db_detail::kSelectChangedViews) + Decimal(view.view_id),
                  [&](AdoRecordset& row) { db_detail::WriteViewSettings(row, view); });
    });
}

DbStatus FeedDatabase::UpdateFeedRecord(const FeedRecord& feed) {
    using Column = db_detail::FeedColumn;
    return Run([&](AdoConnection& connection) {
        ChangeRow(connection,
                  std::u16string(db_detail::kSelectFeeds) + u" Where FeedID = " + Decimal(feed.feed_id),
                  [&](AdoRecordset& row) {
                      row.Field(Column::kStatus).SetShort(feed.status);
                      row.Field(Column::kFeedUrl).SetString(feed.feed_url);
                      row.Field(Column::kPriority).SetShort(feed.priority);
                      row.Field(Column::kReloadFrequency).SetShort(feed.reload_frequency);
                      row.Field(Column::kReadAfter).SetShort(feed.read_after);
                      row.Field(Column::kMaxItems).SetShort(feed.max_items);
                      row.Field(Column::kExtendedData).SetBool(feed.extended_data);
                      row.Field(Column::kExtendedAudio).SetBool(feed.extended_audio);
                  });
    });
}

DbStatus FeedDatabase::UpdateItemRecord(const ItemRecord& item) {
    struct Column {
        enum : long { kFeedItemId, kFeedId, kStatus, kKeywords };
    };
    return Run([&](AdoConnection& connection) {
        ChangeRow(connection,
                  u"Select FeedItemID,FeedID,Status,Keywords From FeedItems Where FeedItemID = " +
                      Decimal(item.feed_item_id),
                  [&](AdoRecordset& row) {
                      row.Field(Column::kStatus).SetShort(item.status);
                      row.Field(Column::kKeywords).SetString(item.keywords);
                  });
    });
}

DbStatus FeedDatabase::SetFeedStatus(std::int32_t feed_id, std::int16_t status) {
    return Run([&](AdoConnection& connection) {
        constexpr long kStatusColumn = 1;
        ChangeRow(connection, u"Select FeedID,Status From Feeds Where FeedID = " + Decimal(feed_id),
                  [&](AdoRecordset& row) { row.Field(kStatusColumn).SetShort(status); });
    });
}

}  // namespace qf
