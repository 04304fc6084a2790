// In-memory copies of database rows. Member defaults are those of a new record that the database code
// adds (a view, subscription or feed made by the import or the command line); loads overwrite every
// field they read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qf {

// Views.SortBy: feeds by priority, feeds by date, or (after that) every item newest first.
enum class ViewSort : std::int16_t { kFeedsByPriority = 0, kFeedsByDate = 1, kItemsByDate = 2 };

struct ViewRecord {
    std::int32_t view_id = 0;
    std::int32_t parent_id = 0;
    std::u16string label;
    std::int16_t status = 2;
    std::int16_t read_after = 5;
    std::int16_t hide_after = 7;
    std::int16_t num_to_show = 30;
    bool hide_read = false;
    bool dpad_skip_read = true;
    std::int16_t sort_by = 0;      // a ViewSort as stored; other values order as kFeedsByDate
    bool is_keyword_view = false;  // Keywords is not empty
    std::u16string keywords;
    SYSTEMTIME date_entered{};

    bool SortedBy(ViewSort sort) const { return sort_by == static_cast<std::int16_t>(sort); }
};

struct FeedRecord {
    std::int32_t feed_id = 0;
    std::u16string title;
    std::u16string guid;
    std::int16_t feed_type = 0;
    std::u16string feed_url;
    std::u16string link_url;
    std::u16string description;  // Description1 followed by Description2
    std::int16_t reload_frequency = 0;
    std::int16_t read_after = 5;
    std::int16_t max_items = 50;
    bool extended_data = false;
    bool extended_audio = false;
    std::int16_t priority = 1;
    std::int16_t status = 2;
    std::u16string last_digest_key;
    SYSTEMTIME last_download_date{};
    SYSTEMTIME last_feed_date{};
    SYSTEMTIME date_entered{};
};

struct ItemRecord {
    std::int32_t feed_item_id = 0;
    std::int32_t feed_id = 0;
    std::u16string title;
    std::u16string link;  // LinkUrl followed by LinkUrl2
    SYSTEMTIME item_date{};
    std::int16_t status = 1;
    // Read by "load item" and written by "update item" only.
    std::u16string guid;
    std::u16string keywords;
    SYSTEMTIME date_entered{};
};

struct SubscriptionRecord {
    std::int32_t subscription_id = 0;
    std::int32_t view_id = 0;
    std::u16string title;
    std::u16string subscription_url;
    bool is_from_file = false;
    SYSTEMTIME date_entered{};
};

// The text of one item: its short (description) or long (extended page) chunks joined in order.
struct TextRecord {
    std::int32_t feed_item_id = 0;
    std::int32_t feed_id = 0;
    std::int16_t is_long = 0;
    std::u16string text;
};

struct AudioRecord {
    std::int32_t feed_item_id = 0;
    std::int32_t feed_id = 0;
    std::u16string link;
    std::int32_t size = 0;       // bytes
    std::u16string folder_name;  // the feed's title, cut and made safe as a file name
};

// Status values of FeedItems.Status.
inline constexpr std::int16_t kItemDeleted = 0;
inline constexpr std::int16_t kItemUnread = 1;
inline constexpr std::int16_t kItemRead = 2;
inline constexpr std::int16_t kItemKept = 3;
// Feeds.Status 0 is a deleted feed; 1 keeps a feed in the feed list but out of views; 2 is the plain
// active status.
inline constexpr std::int16_t kFeedDeleted = 0;
inline constexpr std::int16_t kFeedListOnly = 1;
inline constexpr std::int16_t kFeedActive = 2;

// New records with the current UTC time in their dates, as the import and the command line add them.
SubscriptionRecord NewSubscriptionRecord();
FeedRecord NewFeedRecord();

}  // namespace qf
