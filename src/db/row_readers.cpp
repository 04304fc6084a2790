#include "db/row_readers.h"

#include "parse/text_cleanup.h"

namespace qf::db_detail {

std::u16string Decimal(long long value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string DoubleQuotes(std::u16string_view text) {
    std::u16string quoted;
    quoted.reserve(text.size());
    for (char16_t c : text) {
        quoted.push_back(c);
        if (c == u'\'') quoted.push_back(c);
    }
    return quoted;
}

std::vector<std::int32_t> Distinct(const std::vector<std::int32_t>& ids) {
    std::vector<std::int32_t> distinct;
    std::unordered_set<std::int32_t> seen;
    for (std::int32_t id : ids) {
        if (seen.insert(id).second) distinct.push_back(id);
    }
    return distinct;
}

void ExecuteForId(AdoConnection& connection, const std::vector<const char16_t*>& statements, long long id) {
    std::u16string number = Decimal(id);
    for (const char16_t* statement : statements) connection.Execute(statement + number);
}

FeedRecord ReadFeed(AdoRecordset& row) {
    using Column = FeedColumn;
    FeedRecord feed;
    feed.feed_id = row.Field(Column::kFeedId).AsInt();
    feed.title = row.Field(Column::kTitle).AsString();
    feed.status = row.Field(Column::kStatus).AsShort();
    feed.guid = row.Field(Column::kGuid).AsString();
    feed.feed_type = row.Field(Column::kFeedType).AsShort();
    feed.feed_url = row.Field(Column::kFeedUrl).AsString();
    feed.link_url = row.Field(Column::kLinkUrl).AsString();
    feed.description = row.Field(Column::kDescription1).AsString();
    feed.description += row.Field(Column::kDescription2).AsString();
    feed.priority = row.Field(Column::kPriority).AsShort();
    feed.reload_frequency = row.Field(Column::kReloadFrequency).AsShort();
    feed.read_after = row.Field(Column::kReadAfter).AsShort();
    feed.max_items = row.Field(Column::kMaxItems).AsShort();
    feed.extended_data = row.Field(Column::kExtendedData).AsBool();
    feed.extended_audio = row.Field(Column::kExtendedAudio).AsBool();
    feed.last_digest_key = row.Field(Column::kLastDigestKey).AsString();
    feed.last_download_date = row.Field(Column::kLastDownloadDate).AsDate();
    feed.last_feed_date = row.Field(Column::kLastFeedDate).AsDate();
    feed.date_entered = row.Field(Column::kDateEntered).AsDate();
    return feed;
}

ViewRecord ReadView(AdoRecordset& row) {
    using Column = ViewColumn;
    ViewRecord view;
    view.view_id = row.Field(Column::kViewId).AsInt();
    view.parent_id = row.Field(Column::kParentId).AsInt();
    view.label = row.Field(Column::kLabel).AsString();
    view.status = row.Field(Column::kStatus).AsShort();
    view.read_after = row.Field(Column::kReadAfter).AsShort();
    view.hide_after = row.Field(Column::kHideAfter).AsShort();
    view.num_to_show = row.Field(Column::kNumToShow).AsShort();
    view.hide_read = row.Field(Column::kHideRead).AsBool();
    view.dpad_skip_read = row.Field(Column::kDpadSkipRead).AsBool();
    view.sort_by = row.Field(Column::kSortBy).AsShort();
    view.keywords = row.Field(Column::kKeywords).AsString();
    view.is_keyword_view = !view.keywords.empty();
    view.date_entered = row.Field(Column::kDateEntered).AsDate();
    return view;
}

void WriteViewSettings(AdoRecordset& row, const ViewRecord& view) {
    using Column = ChangedViewColumn;
    row.Field(Column::kReadAfter).SetShort(view.read_after);
    row.Field(Column::kHideAfter).SetShort(view.hide_after);
    row.Field(Column::kNumToShow).SetShort(view.num_to_show);
    row.Field(Column::kHideRead).SetBool(view.hide_read);
    row.Field(Column::kDpadSkipRead).SetBool(view.dpad_skip_read);
    row.Field(Column::kSortBy).SetShort(view.sort_by);
    row.Field(Column::kStatus).SetShort(view.status);
    row.Field(Column::kKeywords).SetString(view.keywords);
}

SubscriptionRecord ReadSubscription(AdoRecordset& row) {
    using Column = SubscriptionColumn;
    SubscriptionRecord subscription;
    subscription.subscription_id = row.Field(Column::kSubscriptionId).AsInt();
    subscription.view_id = row.Field(Column::kViewId).AsInt();
    subscription.title = row.Field(Column::kTitle).AsString();
    subscription.subscription_url = row.Field(Column::kSubscriptionUrl).AsString();
    subscription.is_from_file = row.Field(Column::kIsFromFile).AsBool();
    return subscription;
}

ItemRecord ReadListedItem(AdoRecordset& row) {
    using Column = ListedItemColumn;
    ItemRecord item;
    item.feed_item_id = row.Field(Column::kFeedItemId).AsInt();
    item.feed_id = row.Field(Column::kFeedId).AsInt();
    item.title = row.Field(Column::kTitle).AsString();
    item.status = row.Field(Column::kStatus).AsShort();
    item.item_date = row.Field(Column::kItemDate).AsDate();
    item.link = row.Field(Column::kLinkUrl).AsString();
    item.link += row.Field(Column::kLinkUrl2).AsString();
    return item;
}

std::vector<AudioRecord> ReadAudio(AdoConnection& connection, std::int16_t status) {
    struct Column {
        enum : long { kFeedItemId, kFeedId, kLink, kSize };
    };
    std::vector<AudioRecord> audio;
    ForEachRow(connection,
               u"Select FeedItemID,FeedID,Link,Size From FeedItemAudioData Where Status = " +
                   Decimal(status) + (status != 0 ? u" Order By FeedItemID" : u" Order By FeedItemID Desc"),
               [&](AdoRecordset& row) {
                   AudioRecord record;
                   record.feed_item_id = row.Field(Column::kFeedItemId).AsInt();
                   record.feed_id = row.Field(Column::kFeedId).AsInt();
                   record.link = row.Field(Column::kLink).AsString();
                   record.size = row.Field(Column::kSize).AsInt();
                   audio.push_back(std::move(record));
               });
    // The folder of each file is named after its feed's title.
    constexpr size_t kFolderNameLength = 40;
    for (AudioRecord& record : audio) {
        ForEachRow(connection, u"Select Title From Feeds Where FeedID = " + Decimal(record.feed_id),
                   [&](AdoRecordset& row) {
                       record.folder_name =
                           SanitizeFileName(row.Field(0).AsString().substr(0, kFolderNameLength));
                   });
    }
    return audio;
}

SplitText SplitColumns(const std::u16string& text) {
    constexpr size_t kColumn = 255;
    if (text.size() <= kColumn) return {text, std::u16string()};
    return {text.substr(0, kColumn), text.substr(kColumn, kColumn)};
}

}  // namespace qf::db_detail
