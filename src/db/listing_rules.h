// The decisions of a view listing, apart from the database reads that feed them: which items are shown,
// how the per-feed quota and the total limit end the reading, the order of the date sort, and where an
// item's audio file lies.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/records.h"

namespace qf {

// Whether an item read for a view is listed: a read item goes when either the view or the caller hides
// read items; an item goes when the view has an age limit (hide_after_days > 0) and the item's age in
// whole days exceeds it (so an item less than a day old always stays).
bool IsItemListed(std::int16_t status, bool hide_read, std::int16_t hide_after_days, long long age_seconds);

// Seconds from `then` to `now` (both UTC), rounded; 0 when either date is out of range.
long long SecondsBetween(const SYSTEMTIME& then, const SYSTEMTIME& now);

// The limits of a view listing: each feed lists at most num_to_show / feed_count items, and reading
// stops once num_to_show items have been counted. The item that fills a feed's quota moves on to the
// next feed without counting towards the total.
class ViewQuota {
  public:
    enum class Next { kSameFeed, kNextFeed, kStop };

    ViewQuota(int num_to_show, int feed_count);
    // Call before the items of each feed.
    void StartFeed() { feed_count_ = 0; }
    // Counts one listed item of the current feed and says how reading goes on.
    Next Count();
    int per_feed() const { return per_feed_; }

  private:
    int num_to_show_;
    int per_feed_;
    int feed_count_ = 0;
    int total_ = 0;
};

// Newest first by exchange: each position is compared with every later one and swapped whenever it is
// older, so items of equal date are never swapped with each other (but a third item may move one).
void SortNewestFirst(std::vector<ItemRecord>& items);

// `text` made into one safe file name: separators, wildcards, quotes and control characters become "_",
// leading blanks and trailing blanks and dots go (the device drops them), a name that is empty or only
// dots becomes "_" (so it can never be "." or ".."), and at most kMaxNameSegment characters are kept.
// Every name that comes from a feed or a URL passes through here before it reaches the file system.
inline constexpr size_t kMaxNameSegment = 120;
std::u16string SafeNameSegment(std::u16string_view text);

// The per-feed audio folder: audio root, "\", and the folder name reduced to one safe name segment.
std::u16string AudioFolderPath(const std::u16string& audio_folder, std::u16string_view folder_name);

// AudioFolderPath, "\", and the file name of the link (its part after the last "\", or else after the
// last "/", or the whole link) reduced to one safe name segment. The only way the item turns stored data
// into an audio file's path: whatever the link or title holds, the file lies directly in the feed's
// folder below the audio root.
std::u16string AudioFilePath(const std::u16string& audio_folder, const AudioRecord& record);

// A view's keyword list split at commas, each piece trimmed, empty pieces dropped.
std::vector<std::u16string> SplitKeywords(std::u16string_view keywords);

}  // namespace qf
