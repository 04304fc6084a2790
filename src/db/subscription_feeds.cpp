// Replacing a subscription's feeds with those of its (re-read) subscription document.
#include "db/feed_database.h"
#include "db/row_readers.h"
#include "db/row_writers.h"
#include "parse/parsed_feed.h"

namespace qf {

DbStatus FeedDatabase::ReplaceSubscriptionFeeds(std::int32_t subscription_id, const ParsedFeed& document) {
    return Run([&](AdoConnection& connection) {
        std::int32_t view_id = db_detail::ViewOfSubscription(connection, subscription_id);
        std::vector<std::int32_t> old_feeds = db_detail::FeedIdsOfSubscription(connection, subscription_id);
        db_detail::ExecuteForId(connection, {u"Delete From SubscriptionFeeds Where SubscriptionID = "},
                                subscription_id);
        std::vector<AudioRecord> downloaded_audio = db_detail::ReadAudio(connection, 1);
        for (std::int32_t feed_id : old_feeds) {
            db_detail::RemoveFeed(connection, feed_id, downloaded_audio, audio_folder());
        }
        for (const ParsedItem& item : document.items) {
            FeedRecord feed = NewFeedRecord();
            feed.title = item.title;
            feed.feed_url = item.link;
            feed.description = item.description;
            db_detail::AddFeedRows(connection, feed, view_id, subscription_id);
        }
    });
}

}  // namespace qf
