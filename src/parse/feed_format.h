// The feed formats the parser knows (eleven, and Atom 1.0 when the user turns it on), how a document's
// format is recognised, and the custom field mappings that the settings may add per format.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "parse/feed_document.h"
#include "parse/format_code.h"

namespace qf {

class SettingsStore;

// Whether Atom 1.0 is recognised (setting Extensions/Atom10); off, the item rejects it as unknown.
enum class Atom10 { kOff, kOn };

// The first of these that fits: the root element with its version or namespace ("rss" with version
// "2.0", "2", "0.94" or "1.0" is RSS 2.0), then OPML whose head title mentions SharpReader, then any OPML
// with a body outline, then (with Atom10::kOn) a "feed" root in the Atom 1.0 namespace. kUnknown
// otherwise.
FeedFormat DetectFormat(const FeedDocument& document, Atom10 atom10 = Atom10::kOff);

// "RSS v2.0", "ATOM v0.3", "OPML Subscription (generic)", ...; empty for kUnknown.
std::u16string_view FormatName(FeedFormat format);

// The settings section index of a format's custom mapping ("RSSMap\Map5" for RSS 2.0); -1 for the OPML
// formats and kUnknown, which have none. Atom 1.0 shares Atom 0.3's.
int CustomMapIndex(FeedFormat format);

// Item elements chosen by the user in place of the standard ones, names lower-cased; an empty name
// means no custom element.
struct CustomMapping {
    std::u16string title;
    std::u16string link;
    std::u16string date;
    std::u16string content;
    // Take the content element's inner XML rather than its text. Never set without `content`.
    bool xml_children = false;
};

// Answers the custom mapping of a map index; called once per parse of an RSS, RDF or Atom feed.
using CustomMappingSource = std::function<CustomMapping(int map_index)>;

// Reads section "RSSMap\Map<index>" of `settings`: strings Title, Link, Date, Content and number
// XmlChildren. Missing values read as no custom element.
CustomMapping ReadCustomMapping(const SettingsStore& settings, int map_index);

// A source that knows no custom mappings.
CustomMapping NoCustomMapping(int map_index);

}  // namespace qf
