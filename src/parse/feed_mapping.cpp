// The RSS, RDF and Atom mappings: channel fields, custom mappings and the item and entry rules.
#include "parse/feed_mapping.h"

#include "parse/dates.h"
#include "parse/text_cleanup.h"
#include "parse/wide_text.h"

namespace qf::mapping {
namespace {

struct RssPaths {
    std::u16string_view root;
    std::u16string_view channel;
    std::u16string_view items;
};

constexpr RssPaths kRdfPaths{u"rdf:RDF", u"rdf:RDF\\channel", u"rdf:RDF\\item"};
constexpr RssPaths kRssPaths{u"rss", u"rss\\channel", u"rss\\channel\\item"};

bool IsCustom(const std::u16string& custom, const FoldedName& name) {
    return !custom.empty() && name == custom;
}

std::u16string InnerXml(const FeedDocument& document, const FeedNode& node) {
    return document.SerializeNode(&node, OwnTags::kSkip, Quotes::kDouble);
}

// The content of a custom Content element: its inner XML or its raw text.
std::u16string CustomContent(const FeedDocument& document, const FeedNode& node,
                             const CustomMapping& custom) {
    return custom.xml_children ? InnerXml(document, node) : std::u16string(node.text);
}

// Atom content and summary: the inner XML when the type says XML, else the raw text.
std::u16string AtomText(const FeedDocument& document, const FeedNode& node) {
    const bool xml = document.GetAttribute(&node, u"type").find(u"xml") != std::u16string_view::npos;
    return xml ? InnerXml(document, node) : std::u16string(node.text);
}

// The first rule that matches the child takes its text; `n` is the child's lower-cased name.
void ApplyItemRule(const FeedDocument& document, const FeedNode& child, const CustomMapping& custom,
                   ParsedItem& item) {
    const FoldedName n(child.name);
    const std::u16string_view t = child.text;
    if (n == u"guid") {
        item.guid = t;
    } else if (IsCustom(custom.title, n) || (n == u"title" && item.title.empty())) {
        item.title = t;
    } else if (IsCustom(custom.link, n) || (n == u"link" && item.link.empty())) {
        item.link = t;
    } else if (IsCustom(custom.date, n)) {
        item.date = t;
    } else if (n == u"pubdate") {
        // A publication date replaces an earlier dc:date, but not a custom date already found.
        if (custom.date.empty() || item.date.empty()) item.date = t;
    } else if (n == u"dc:date" && item.date.empty()) {
        item.date = t;
    } else if (IsCustom(custom.content, n)) {
        item.description = CustomContent(document, child, custom);
    } else if (n == u"description" && item.description.empty()) {
        item.description = t;
    } else if (n == u"enclosure" && document.HasAttributeValue(&child, u"type", u"audio/mpeg")) {
        item.enclosureUrl = document.GetAttribute(&child, u"url");
        item.enclosureLength = text::LeadingNumber(document.GetAttribute(&child, u"length"));
    }
}

void ApplyEntryRule(const FeedDocument& document, const FeedNode& child, const CustomMapping& custom,
                    ParsedItem& entry) {
    const FoldedName n(child.name);
    const std::u16string_view t = child.text;
    if (n == u"id") {
        entry.guid = t;
    } else if (IsCustom(custom.title, n) || (n == u"title" && entry.title.empty())) {
        entry.title = t;
    } else if (IsCustom(custom.link, n)) {
        entry.link = t;
    } else if (n == u"link" && entry.link.empty()) {
        entry.link = document.GetAttribute(&child, u"href");
    } else if (IsCustom(custom.date, n) || (n == u"issued" && entry.date.empty())) {
        entry.date = t;
    } else if (IsCustom(custom.content, n)) {
        entry.description = CustomContent(document, child, custom);
    } else if (n == u"content") {
        // Content replaces an earlier summary, but not a custom content already found.
        if (custom.content.empty() || entry.description.empty())
            entry.description = AtomText(document, child);
    } else if (n == u"summary" && entry.description.empty()) {
        entry.description = AtomText(document, child);
    }
}

using EntryRule = void (*)(const FeedDocument&, const FeedNode&, const CustomMapping&, ParsedItem&);

// Walks `first` and its following siblings; each one called `element_name` (any letter case) becomes an
// item, filled by `rule` from its children.
void MapEntries(const FeedDocument& document, const FeedNode* first, std::u16string_view element_name,
                const CustomMapping& custom, EntryRule rule, ParsedFeed& feed) {
    for (const FeedNode* node = first; node != nullptr; node = document.NextSibling(node)) {
        if (!text::EqualsIgnoreCase(node->name, element_name)) continue;
        ParsedItem& item = feed.items.emplace_back();
        for (const FeedNode* child = document.FirstChild(node); child != nullptr;
             child = document.NextSibling(child)) {
            rule(document, *child, custom, item);
        }
    }
}

}  // namespace

void MapRssChannel(const FeedDocument& document, FeedFormat format, const CustomMappingSource& mappings,
                   ParsedFeed& feed) {
    const bool rdf = format == FeedFormat::kRss090 || format == FeedFormat::kRss10;
    const RssPaths& paths = rdf ? kRdfPaths : kRssPaths;
    if (document.FindPath(paths.root) == nullptr) return;
    feed.formatName = FormatName(format);
    for (const FeedNode* child = document.FirstChild(document.FindPath(paths.channel)); child != nullptr;
         child = document.NextSibling(child)) {
        const FoldedName n(child->name);
        if (n == u"title") {
            feed.title = format == FeedFormat::kRss20 ? StripCdata(child->text) : std::u16string(child->text);
        } else if (n == u"link") {
            feed.link = child->text;
        } else if (n == u"description") {
            feed.description = child->text;
        } else if (n == u"lastbuilddate" || (n == u"dc:date" && feed.date.empty())) {
            feed.date = child->text;
        }
    }
    MapEntries(document, document.FindPath(paths.items), u"item", mappings(CustomMapIndex(format)),
               ApplyItemRule, feed);
}

void MapAtomFeed(const FeedDocument& document, const CustomMappingSource& mappings, ParsedFeed& feed) {
    const FeedNode* root = document.FindPath(u"feed");
    if (root == nullptr) return;
    feed.formatName = FormatName(FeedFormat::kAtom03);
    for (const FeedNode* child = document.FirstChild(root); child != nullptr;
         child = document.NextSibling(child)) {
        const FoldedName n(child->name);
        if (n == u"title") {
            feed.title = StripCdata(child->text);
        } else if (n == u"link") {
            feed.link = document.GetAttribute(child, u"href");
        } else if (n == u"tagline") {
            feed.description = child->text;
        } else if (n == u"modified") {
            feed.date = child->text;
        }
    }
    MapEntries(document, document.FindPath(u"feed\\entry"), u"entry",
               mappings(CustomMapIndex(FeedFormat::kAtom03)), ApplyEntryRule, feed);
}

std::u16string NumberedTitle(std::u16string_view prefix) {
    return std::u16string(prefix) + text::FromAscii(std::to_string(UniqueNumber()));
}

}  // namespace qf::mapping
