// The per-format mappings from a feed document to a parsed feed, used by MapFeedDocument.
#pragma once

#include <string>

#include "parse/feed_format.h"
#include "parse/parsed_feed.h"
#include "parse/wide_text.h"

namespace qf::mapping {

// An element name compared as its lower-cased copy would be, without making the copy: equal to a
// lower-case name when the two match in any letter case. Names are mostly written in lower case already,
// so each character is folded only when it differs.
class FoldedName {
  public:
    explicit FoldedName(std::u16string_view name) : name_(name) {}
    bool operator==(std::u16string_view lower) const {
        if (name_.size() != lower.size()) return false;
        for (size_t i = 0; i < lower.size(); ++i) {
            if (name_[i] != lower[i] && text::ToLower(name_[i]) != lower[i]) return false;
        }
        return true;
    }

  private:
    std::u16string_view name_;
};

// Where a mapping puts what it finds: the feed's fields into channel(), then each item through Add.
// The channel is handed to the sink, with its title trimmed (or "No Title: <n>" when that leaves
// nothing), before the first item or at Finish.
class MappingOutput {
  public:
    MappingOutput(ParsedFeed& channel, ParsedFeedSink& sink) : channel_(channel), sink_(sink) {}

    ParsedFeed& channel() { return channel_; }
    void Add(ParsedItem item) {
        Finish();
        sink_.Item(std::move(item));
    }
    void Finish();

  private:
    ParsedFeed& channel_;
    ParsedFeedSink& sink_;
    bool channel_sent_ = false;
};

// RSS 0.90 to 2.0 and RDF: the channel fields, then the custom mapping and the items.
void MapRssChannel(const FeedDocument& document, FeedFormat format, const CustomMappingSource& mappings,
                   MappingOutput& out);
// Atom 0.3 and 1.0: the feed fields, then the custom mapping and the entries.
void MapAtomFeed(const FeedDocument& document, FeedFormat format, const CustomMappingSource& mappings,
                 MappingOutput& out);
// OPML 1.0 and 1.1: the head fields and one item per top-level outline, its child outlines as text.
void MapOpmlOutlines(const FeedDocument& document, FeedFormat format, MappingOutput& out);
// OPML subscription lists (SharpReader and generic): one item per feed named in the outlines.
void MapSubscriptions(const FeedDocument& document, FeedFormat format, MappingOutput& out);

// "Subscription: " or "No Title: " followed by a fresh unique number.
std::u16string NumberedTitle(std::u16string_view prefix);

}  // namespace qf::mapping
