#include "db/records.h"

#include "parse/dates.h"

namespace qf {

SubscriptionRecord NewSubscriptionRecord() {
    SubscriptionRecord subscription;
    subscription.date_entered = NowGmtSystemTime();
    return subscription;
}

FeedRecord NewFeedRecord() {
    FeedRecord feed;
    SYSTEMTIME now = NowGmtSystemTime();
    feed.last_download_date = now;
    feed.last_feed_date = now;
    feed.date_entered = now;
    return feed;
}

}  // namespace qf
