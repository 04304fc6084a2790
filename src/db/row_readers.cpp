#include "db/row_readers.h"

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

void ExecuteForId(AdoConnection& connection, const std::vector<const char16_t*>& statements, long long id) {
    std::u16string number = Decimal(id);
    for (const char16_t* statement : statements) connection.Execute(statement + number);
}

const char16_t kSelectFeeds[] =
    u"Select FeedID,Title,Status,GUID,FeedType,FeedUrl,LinkUrl,Description1,Description2,Priority,"
    u"ReloadFrequency,ReadAfter,MaxItems,ExtendedData,ExtendedAudio,LastDigestKey,LastDownloadDate,"
    u"LastFeedDate,DateEntered From Feeds";

FeedRecord ReadFeed(AdoRecordset& row) {
    FeedRecord feed;
    feed.feed_id = row.Field(0).AsInt();
    feed.title = row.Field(1).AsString();
    feed.status = row.Field(2).AsShort();
    feed.guid = row.Field(3).AsString();
    feed.feed_type = row.Field(4).AsShort();
    feed.feed_url = row.Field(5).AsString();
    feed.link_url = row.Field(6).AsString();
    feed.description = row.Field(7).AsString();
    feed.description += row.Field(8).AsString();
    feed.priority = row.Field(9).AsShort();
    feed.reload_frequency = row.Field(10).AsShort();
    feed.read_after = row.Field(11).AsShort();
    feed.max_items = row.Field(12).AsShort();
    feed.extended_data = row.Field(13).AsBool();
    feed.extended_audio = row.Field(14).AsBool();
    feed.last_digest_key = row.Field(15).AsString();
    feed.last_download_date = row.Field(16).AsDate();
    feed.last_feed_date = row.Field(17).AsDate();
    feed.date_entered = row.Field(18).AsDate();
    return feed;
}

const char16_t kSelectViews[] =
    u"Select "
    u"ViewID,ParentID,Label,Status,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,SortBy,Keywords,"
    u"DateEntered From Views";

ViewRecord ReadView(AdoRecordset& row) {
    ViewRecord view;
    view.view_id = row.Field(0).AsInt();
    view.parent_id = row.Field(1).AsInt();
    view.label = row.Field(2).AsString();
    view.status = row.Field(3).AsShort();
    view.read_after = row.Field(4).AsShort();
    view.hide_after = row.Field(5).AsShort();
    view.num_to_show = row.Field(6).AsShort();
    view.hide_read = row.Field(7).AsBool();
    view.dpad_skip_read = row.Field(8).AsBool();
    view.sort_by = row.Field(9).AsShort();
    view.keywords = row.Field(10).AsString();
    view.is_keyword_view = !view.keywords.empty();
    view.date_entered = row.Field(11).AsDate();
    return view;
}

const char16_t kSelectSubscriptions[] =
    u"Select SubscriptionID,ViewID,Title,SubscriptionUrl,IsFromFile From Subscriptions";

SubscriptionRecord ReadSubscription(AdoRecordset& row) {
    SubscriptionRecord subscription;
    subscription.subscription_id = row.Field(0).AsInt();
    subscription.view_id = row.Field(1).AsInt();
    subscription.title = row.Field(2).AsString();
    subscription.subscription_url = row.Field(3).AsString();
    subscription.is_from_file = row.Field(4).AsBool();
    return subscription;
}

ItemRecord ReadListedItem(AdoRecordset& row) {
    ItemRecord item;
    item.feed_item_id = row.Field(0).AsInt();
    item.feed_id = row.Field(1).AsInt();
    item.title = row.Field(2).AsString();
    item.status = row.Field(3).AsShort();
    item.item_date = row.Field(4).AsDate();
    item.link = row.Field(5).AsString();
    item.link += row.Field(6).AsString();
    return item;
}

SplitText SplitColumns(const std::u16string& text) {
    constexpr size_t kColumn = 255;
    if (text.size() <= kColumn) return {text, std::u16string()};
    return {text.substr(0, kColumn), text.substr(kColumn, kColumn)};
}

}  // namespace qf::db_detail
