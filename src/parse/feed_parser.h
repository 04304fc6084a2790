// ParseFeed: a downloaded feed file in, a parsed feed out. Accepts RSS 0.90 to 2.0, Atom 0.3, OPML
// outlines and OPML subscription lists; texts are copied raw (entity decoding, cleanup and date parsing
// are the feed update's business).
#pragma once

#include <string>
#include <string_view>

#include "parse/feed_format.h"
#include "parse/parsed_feed.h"

namespace qf {

enum class FeedParseStatus {
    kOk,
    kUnreadable,     // the file could not be read, or holds no tag
    kUnknownFormat,  // read, but not one of the known formats
};

// Parses the device file `path` into `feed` (reset first) with the custom mappings of the item's
// settings. True when the file was read, recognised and mapped; then sourcePath is `path` and the title
// is not empty. On false `feed` stays reset. Called on the download thread, one file at a time.
bool ParseFeed(ParsedFeed& feed, const std::u16string& path);

// As ParseFeed for file bytes already in memory, naming `source_path` as the file; the custom mappings
// come from `mappings`. Any thread (each call uses its own document).
FeedParseStatus ParseFeedBytes(ParsedFeed& feed, std::string_view bytes, std::u16string_view source_path,
                               const CustomMappingSource& mappings);

// Detects the format of `document` and maps it into `feed` (which must be reset): channel fields, items,
// the trimmed title or "No Title: <unique number>". Leaves sourcePath alone.
FeedParseStatus MapFeedDocument(const FeedDocument& document, ParsedFeed& feed,
                                const CustomMappingSource& mappings);

}  // namespace qf
