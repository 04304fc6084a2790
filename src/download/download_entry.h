// One entry of a download run's list.
#pragma once

#include <cstdint>
#include <string>

namespace qf {

enum class EntryKind {
    kFeed,   // the feed's file, parsed and stored as its new data
    kPage,   // an item's extended page, stored as its long text
    kAudio,  // an audio enclosure, saved in the audio folder
};

struct DownloadEntry {
    std::u16string url;
    std::u16string target_file;  // device path the fetch writes
    std::u16string title;        // shown in the item's status text
    std::int32_t feed_id = 0;
    std::int32_t item_id = 0;  // 0 for a feed entry
    bool audio = false;

    EntryKind kind() const {
        if (item_id == 0) return EntryKind::kFeed;
        return audio ? EntryKind::kAudio : EntryKind::kPage;
    }
};

}  // namespace qf
