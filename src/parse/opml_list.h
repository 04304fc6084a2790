// Subscription lists in OPML 1.0 and 2.0 as feed readers exchange them: the feeds a list names, read
// from any depth of folder outlines, and a list written for other readers to import.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "parse/feed_document.h"

namespace qf {

// One feed of a list; texts plain (entity references decoded).
struct OpmlFeed {
    std::u16string title;  // the outline's title, else its text, else the feed address
    std::u16string xml_url;
    std::u16string html_url;
    std::u16string description;
};

enum class OpmlListStatus { kOk, kNotOpml };

// Fills `feeds` with every outline below opml/body that has an xmlUrl, in document order; an outline
// without one is a folder whose outlines are read in its place. A feed address named again is skipped.
// kNotOpml (and no feeds) unless the root is an "opml" element with a body. Linear in the document
// size, however deep the folders. Any thread.
OpmlListStatus ReadOpmlList(const FeedDocument& document, std::vector<OpmlFeed>& feeds);

// The feeds as a flat OPML 2.0 list in UTF-8, head titled `title`; each outline has type "rss", text and
// title, xmlUrl, and htmlUrl and description when not empty. Any thread.
std::string WriteOpmlList(std::u16string_view title, const std::vector<OpmlFeed>& feeds);

}  // namespace qf
