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

// Atom content and summary: the inner XML when the type says XML (or, in Atom 1.0, XHTML), else the
// raw text.
std::u16string AtomText(const FeedDocument& document, const FeedNode& node, FeedFormat format) {
    const std::u16string_view type = document.GetAttribute(&node, u"type");
    const bool xml =
        type.find(u"xml") != std::u16string_view::npos || (format == FeedFormat::kAtom10 && type == u"xhtml");
    return xml ? InnerXml(document, node) : std::u16string(node.text);
}

// Atom 1.0 links without a rel, or with rel "alternate", lead to the page itself.
bool IsAlternateLink(const FeedDocument& document, const FeedNode& link) {
    const std::u16string_view rel = document.GetAttribute(&link, u"rel");
    return rel.empty() || rel == u"alternate";
}

// An Atom 1.0 element's link: the href of its first alternate link child, else of its first link child.
std::u16string_view Atom10Link(const FeedDocument& document, const FeedNode* parent) {
    const FeedNode* first = nullptr;
    for (const FeedNode* child = document.FirstChild(parent); child != nullptr;
         child = document.NextSibling(child)) {
        if (!(FoldedName(child->name) == u"link")) continue;
        if (IsAlternateLink(document, *child)) return document.GetAttribute(child, u"href");
        if (first == nullptr) first = child;
    }
    return document.GetAttribute(first, u"href");
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
        item.enclosure_url = document.GetAttribute(&child, u"url");
        item.enclosure_length = text::LeadingNumber(document.GetAttribute(&child, u"length"));
    }
}

void ApplyAtom03Rule(const FeedDocument& document, const FeedNode& child, const CustomMapping& custom,
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
            entry.description = AtomText(document, child, FeedFormat::kAtom03);
    } else if (n == u"summary" && entry.description.empty()) {
        entry.description = AtomText(document, child, FeedFormat::kAtom03);
    }
}

// As the Atom 0.3 rules, with "published" for "issued" ("updated" while no date is set), XHTML
// content written back as XML, and audio enclosures given as links. The page link is taken after
// all children are seen.
void ApplyAtom10Rule(const FeedDocument& document, const FeedNode& child, const CustomMapping& custom,
                     ParsedItem& entry) {
    const FoldedName n(child.name);
    const std::u16string_view t = child.text;
    if (n == u"id") {
        entry.guid = t;
    } else if (IsCustom(custom.title, n) || (n == u"title" && entry.title.empty())) {
        entry.title = t;
    } else if (IsCustom(custom.link, n)) {
        entry.link = t;
    } else if (n == u"link") {
        if (document.HasAttributeValue(&child, u"rel", u"enclosure") &&
            document.HasAttributeValue(&child, u"type", u"audio/mpeg")) {
            entry.enclosure_url = document.GetAttribute(&child, u"href");
            entry.enclosure_length = text::LeadingNumber(document.GetAttribute(&child, u"length"));
        }
    } else if (IsCustom(custom.date, n)) {
        entry.date = t;
    } else if (n == u"published") {
        if (custom.date.empty() || entry.date.empty()) entry.date = t;
    } else if (n == u"updated" && entry.date.empty()) {
        entry.date = t;
    } else if (IsCustom(custom.content, n)) {
        entry.description = CustomContent(document, child, custom);
    } else if (n == u"content") {
        if (custom.content.empty() || entry.description.empty())
            entry.description = AtomText(document, child, FeedFormat::kAtom10);
    } else if (n == u"summary" && entry.description.empty()) {
        entry.description = AtomText(document, child, FeedFormat::kAtom10);
    }
}

using EntryRule = void (*)(const FeedDocument&, const FeedNode&, const CustomMapping&, ParsedItem&);

// Walks `first` and its following siblings; each one called `element_name` (any letter case) becomes an
// item, filled by the rule of `format` from its children.
void MapEntries(const FeedDocument& document, const FeedNode* first, std::u16string_view element_name,
                FeedFormat format, const CustomMapping& custom, MappingOutput& out) {
    const EntryRule rule = format == FeedFormat::kAtom10   ? ApplyAtom10Rule
                           : format == FeedFormat::kAtom03 ? ApplyAtom03Rule
                                                           : ApplyItemRule;
    for (const FeedNode* node = first; node != nullptr; node = document.NextSibling(node)) {
        if (!text::EqualsIgnoreCase(node->name, element_name)) continue;
        ParsedItem item;
        for (const FeedNode* child = document.FirstChild(node); child != nullptr;
             child = document.NextSibling(child)) {
            rule(document, *child, custom, item);
        }
        if (format == FeedFormat::kAtom10 && item.link.empty()) item.link = Atom10Link(document, node);
        out.Add(std::move(item));
    }
}

}  // namespace

void MappingOutput::Finish() {
    if (channel_sent_) return;
    channel_sent_ = true;
    channel_.title = std::u16string(text::Trim(channel_.title));
    if (channel_.title.empty()) channel_.title = NumberedTitle(u"No Title: ");
    sink_.Channel(channel_);
}

void MapRssChannel(const FeedDocument& document, FeedFormat format, const CustomMappingSource& mappings,
                   MappingOutput& out) {
    const bool rdf = format == FeedFormat::kRss090 || format == FeedFormat::kRss10;
    const RssPaths& paths = rdf ? kRdfPaths : kRssPaths;
    if (document.FindPath(paths.root) == nullptr) return;
    ParsedFeed& feed = out.channel();
    feed.format_name = FormatName(format);
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
    MapEntries(document, document.FindPath(paths.items), u"item", format, mappings(CustomMapIndex(format)),
               out);
}

void MapAtomFeed(const FeedDocument& document, FeedFormat format, const CustomMappingSource& mappings,
                 MappingOutput& out) {
    const FeedNode* root = document.FindPath(u"feed");
    if (root == nullptr) return;
    const bool atom10 = format == FeedFormat::kAtom10;
    ParsedFeed& feed = out.channel();
    feed.format_name = FormatName(format);
    for (const FeedNode* child = document.FirstChild(root); child != nullptr;
         child = document.NextSibling(child)) {
        const FoldedName n(child->name);
        if (n == u"title") {
            feed.title = StripCdata(child->text);
        } else if (n == u"link" && !atom10) {
            feed.link = document.GetAttribute(child, u"href");
        } else if (n == (atom10 ? u"subtitle" : u"tagline")) {
            feed.description = child->text;
        } else if (n == (atom10 ? u"updated" : u"modified")) {
            feed.date = child->text;
        }
    }
    if (atom10) feed.link = Atom10Link(document, root);
    MapEntries(document, document.FindPath(u"feed\\entry"), u"entry", format,
               mappings(CustomMapIndex(format)), out);
}

std::u16string NumberedTitle(std::u16string_view prefix) {
    return std::u16string(prefix) + text::FromAscii(std::to_string(UniqueNumber()));
}

}  // namespace qf::mapping
