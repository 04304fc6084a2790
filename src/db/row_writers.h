// Row changes that several database operations share: adding views, subscriptions and feeds with their
// memberships, and removing a feed with everything that hangs on it. Each runs on the connection of an
// operation that holds the lock, and throws the record layer's exceptions. Internal to src/db.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/records.h"
#include "shared/adoclass31.h"

namespace qf::db_detail {

// Each adder takes the new row's id (TakeUnusedId, with the record's id as the wish) and writes the ids
// it used back into the record.
void AddViewRow(AdoConnection& connection, ViewRecord& view);
void AddSubscriptionRow(AdoConnection& connection, SubscriptionRecord& subscription, std::int32_t view_id);
// The feed row and, when given (non-zero), its view membership (with the feed's priority) and its
// subscription membership.
void AddFeedRows(AdoConnection& connection, FeedRecord& feed, std::int32_t view_id,
                 std::int32_t subscription_id);

// "Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(...)".
void InsertViewFeed(AdoConnection& connection, std::int32_t view_id, std::int32_t feed_id,
                    std::int32_t priority);
// "Insert Into SubscriptionFeeds(SubscriptionID,FeedID) Values(...)".
void InsertSubscriptionFeed(AdoConnection& connection, std::int32_t subscription_id, std::int32_t feed_id);

// The subscription's view id, 0 when it has none or is missing.
std::int32_t ViewOfSubscription(AdoConnection& connection, std::int32_t subscription_id);
// Ids of a subscription's feeds.
std::vector<std::int32_t> FeedIdsOfSubscription(AdoConnection& connection, std::int32_t subscription_id);

// Removes a feed: the files of its records in `downloaded_audio` (the audio list of status 1) and its
// folder named by id below `audio_folder`, then its row, its memberships and its items with their texts
// and audio rows.
void RemoveFeed(AdoConnection& connection, std::int32_t feed_id,
                const std::vector<AudioRecord>& downloaded_audio, const std::u16string& audio_folder);

// Deletes the audio files of `audio`'s records of the feed (a missing file is no failure).
void DeleteAudioFilesOfFeed(const std::vector<AudioRecord>& audio, std::int32_t feed_id,
                            const std::u16string& audio_folder);

}  // namespace qf::db_detail
