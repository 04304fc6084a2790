// What the feed parser hands to the feed update: the channel fields and one item per entry, with the
// texts raw as the file holds them (only the channel title is trimmed).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "parse/format_code.h"

namespace qf {

struct ParsedItem {
    std::u16string title;
    std::u16string description;         // description, content or summary, or text built from outlines
    std::u16string link;                // the item's link, or the feed URL of a subscription entry
    std::u16string date;                // as written, not parsed
    std::u16string guid;                // RSS guid, Atom id
    std::u16string enclosure_url;       // an audio/mpeg enclosure, else empty
    std::int32_t enclosure_length = 0;  // as written in the feed; 0 when absent or empty
};

struct ParsedFeed {
    std::u16string source_path;  // set only when a parse succeeds
    FeedFormat format = FeedFormat::kUnknown;
    std::u16string format_name;  // "RSS v2.0"
    std::u16string title;        // trimmed; never empty after a successful parse
    std::u16string link;
    std::u16string description;
    std::u16string date;            // as written, not parsed
    std::vector<ParsedItem> items;  // in document order

    // Empties every field and drops the items.
    void Reset() { *this = ParsedFeed(); }
};

// Receives a parse's results in document order, so that a caller can use each item and let it go:
// first the feed's own fields (ParsedFeed without items, title final), then each item.
class ParsedFeedSink {
  public:
    virtual ~ParsedFeedSink() = default;
    virtual void Channel(const ParsedFeed& channel) = 0;
    virtual void Item(ParsedItem item) = 0;
};

}  // namespace qf
