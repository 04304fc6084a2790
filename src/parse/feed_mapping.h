// The per-format mappings from a feed document to a parsed feed, used by MapFeedDocument.
#pragma once

#include <string>

#include "parse/feed_format.h"
#include "parse/parsed_feed.h"
#include "parse/wide_text.h"

namespace qf::mapping {

// An element name compared as its lower-cased copy would be, without making the copy: equal to a
// lower-case name when the two match in any letter case.
class FoldedName {
  public:
    explicit FoldedName(std::u16string_view name) : name_(name) {}
    bool operator==(std::u16string_view lower) const { return text::EqualsIgnoreCase(name_, lower); }

  private:
    std::u16string_view name_;
};

// RSS 0.90 to 2.0 and RDF: the channel fields, then the custom mapping and the items.
void MapRssChannel(const FeedDocument& document, FeedFormat format, const CustomMappingSource& mappings,
                   ParsedFeed& feed);
// Atom 0.3: the feed fields, then the custom mapping and the entries.
void MapAtomFeed(const FeedDocument& document, const CustomMappingSource& mappings, ParsedFeed& feed);
// OPML 1.0 and 1.1: the head fields and one item per top-level outline, its child outlines as text.
void MapOpmlOutlines(const FeedDocument& document, FeedFormat format, ParsedFeed& feed);
// OPML subscription lists (SharpReader and generic): one item per feed named in the outlines.
void MapSubscriptions(const FeedDocument& document, FeedFormat format, ParsedFeed& feed);

// "Subscription: " or "No Title: " followed by a fresh unique number.
std::u16string NumberedTitle(std::u16string_view prefix);

}  // namespace qf::mapping
