// ParseFeed: a downloaded feed file in, a parsed feed out. Accepts RSS 0.90 to 2.0, Atom 0.3, OPML
// outlines and OPML subscription lists (and Atom 1.0 when the user turns it on); texts are copied raw
// (entity decoding, cleanup and date parsing are the feed update's business).
#pragma once

#include <string>
#include <string_view>

#include "parse/feed_format.h"
#include "parse/parsed_feed.h"

namespace qf {

class SettingsStore;

enum class FeedParseStatus {
    kOk,
    kUnreadable,     // the file could not be read, or holds no tag
    kUnknownFormat,  // read, but not one of the known formats
};

// What a parse takes besides the file.
struct ParseOptions {
    CustomMappingSource mappings = NoCustomMapping;
    Atom10 atom10 = Atom10::kOff;
};

// The options the item parses with: the custom mappings of `settings` (read at every parse) and
// Extensions/Atom10 (default 0). `settings` must outlive the options.
ParseOptions ParseOptionsFrom(const SettingsStore& settings);

// Parses the device file `path` into `feed` (reset first) with `options`. True when the file was read,
// recognised and mapped; then source_path is `path` and the title is not empty. On false `feed` stays
// reset. Any thread (each call uses its own document).
bool ParseFeed(ParsedFeed& feed, const std::u16string& path, const ParseOptions& options);

// As ParseFeed for file bytes already in memory, naming `source_path` as the file, with the given
// custom mappings and Atom 1.0 choice. Any thread (each call uses its own document).
FeedParseStatus ParseFeedBytes(ParsedFeed& feed, std::string_view bytes, std::u16string_view source_path,
                               const CustomMappingSource& mappings, Atom10 atom10 = Atom10::kOff);

// As ParseFeedBytes, reading `bytes` in slices and handing the results to `sink` as they are mapped, so
// that no parsed feed needs to hold every item at once. The sink hears nothing unless the result is kOk.
FeedParseStatus ParseFeedBytes(FeedBytes& bytes, std::u16string_view source_path, const ParseOptions& options,
                               ParsedFeedSink& sink);

// Detects the format of `document` and maps it to `sink`: the channel fields with source_path
// `source_path` and the trimmed title (or "No Title: <unique number>"), then the items.
FeedParseStatus MapFeedDocument(const FeedDocument& document, std::u16string_view source_path,
                                const ParseOptions& options, ParsedFeedSink& sink);

}  // namespace qf
