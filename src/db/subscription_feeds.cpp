// Replacing a subscription's feeds with those of its (re-read) subscription document.
#include "db/feed_database.h"
#include "db/row_readers.h"
#include "parse/parsed_feed.h"

namespace qf {

using db_detail::Decimal;

bool FeedDatabase::ReplaceSubscriptionFeeds(std::int32_t subscription_id, const ParsedFeed& document) {
    return Run(false, [&](AdoConnection& connection) {
        std::int32_t view_id = 0;
        db_detail::ForEachRow(connection,
                              std::u16string(db_detail::kSelectSubscriptions) + u" Where SubscriptionID = " +
                                  Decimal(subscription_id),
                              [&](AdoRecordset& row) { view_id = row.Field(1).AsInt(); });
        std::vector<std::int32_t> old_feeds = FeedIdsOfSubscription(connection, subscription_id);
        db_detail::ExecuteForId(connection, {u"Delete From SubscriptionFeeds Where SubscriptionID = "},
                                subscription_id);
        for (std::int32_t feed_id : old_feeds) {
            db_detail::ExecuteForId(
                connection,
                {u"Delete From Feeds Where FeedID = ", u"Delete From ViewFeeds Where FeedID = ",
                 u"Delete From ViewFeedItems Where FeedID = ", u"Delete From FeedItems Where FeedID = ",
                 u"Delete From FeedItemShortData Where FeedID = ",
                 u"Delete From FeedItemLongData Where FeedID = ",
                 u"Delete From FeedItemAudioData Where FeedID = "},
                feed_id);
        }
        for (const ParsedItem& item : document.items) {
            FeedRecord feed = NewFeedRecord();
            feed.title = item.title;
            feed.feed_url = item.link;
            feed.description = item.description;
            AddFeedRows(connection, feed, view_id, subscription_id);
        }
        return true;
    });
}

}  // namespace qf
