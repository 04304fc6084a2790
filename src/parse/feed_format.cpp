#include "parse/feed_format.h"

#include <array>

#include "common/settings_store.h"
#include "parse/wide_text.h"

namespace qf {
namespace {

struct RootRule {
    std::u16string_view root;
    std::u16string_view attribute;
    std::u16string_view value;
    FeedFormat format;
};

// Checked in order; namespaces are compared exactly, trailing slash included.
constexpr std::array<RootRule, 12> kRootRules{{
    {u"rdf:RDF", u"xmlns", u"http://purl.org/rss/1.0/", FeedFormat::kRss10},
    {u"rdf:RDF", u"xmlns", u"http://my.netscape.com/rdf/simple/0.9/", FeedFormat::kRss090},
    {u"rss", u"version", u"0.91", FeedFormat::kRss091},
    {u"rss", u"version", u"0.92", FeedFormat::kRss092},
    {u"rss", u"version", u"0.93", FeedFormat::kRss093},
    {u"rss", u"version", u"2.0", FeedFormat::kRss20},
    {u"rss", u"version", u"2", FeedFormat::kRss20},
    {u"rss", u"version", u"0.94", FeedFormat::kRss20},
    {u"rss", u"version", u"1.0", FeedFormat::kRss20},
    {u"feed", u"version", u"0.3", FeedFormat::kAtom03},
    {u"opml", u"version", u"1.0", FeedFormat::kOpml10},
    {u"opml", u"version", u"1.1", FeedFormat::kOpml11},
}};

}  // namespace

FeedFormat DetectFormat(const FeedDocument& document, Atom10 atom10) {
    for (const RootRule& rule : kRootRules) {
        if (document.HasAttributeValue(document.FindPath(rule.root), rule.attribute, rule.value))
            return rule.format;
    }
    const FeedNode* head_title = document.FindPath(u"opml\\head\\title");
    if (head_title != nullptr && head_title->text.view().find(u"SharpReader") != std::u16string_view::npos) {
        return FeedFormat::kOpmlSharpReader;
    }
    if (document.FindPath(u"opml\\body\\outline") != nullptr) return FeedFormat::kOpmlGeneric;
    if (atom10 == Atom10::kOn &&
        document.HasAttributeValue(document.FindPath(u"feed"), u"xmlns", u"http://www.w3.org/2005/Atom")) {
        return FeedFormat::kAtom10;
    }
    return FeedFormat::kUnknown;
}

std::u16string_view FormatName(FeedFormat format) {
    switch (format) {
        case FeedFormat::kRss090:
            return u"RSS v0.90";
        case FeedFormat::kRss091:
            return u"RSS v0.91";
        case FeedFormat::kRss092:
            return u"RSS v0.92";
        case FeedFormat::kRss093:
            return u"RSS v0.93";
        case FeedFormat::kRss10:
            return u"RSS v1.0";
        case FeedFormat::kRss20:
            return u"RSS v2.0";
        case FeedFormat::kAtom03:
            return u"ATOM v0.3";
        case FeedFormat::kAtom10:
            return u"ATOM v1.0";
        case FeedFormat::kOpml10:
            return u"OPML v1.0";
        case FeedFormat::kOpml11:
            return u"OPML v1.1";
        case FeedFormat::kOpmlSharpReader:
            return u"OPML SharpReader";
        case FeedFormat::kOpmlGeneric:
            return u"OPML Subscription (generic)";
        case FeedFormat::kUnknown:
            break;
    }
    return {};
}

int CustomMapIndex(FeedFormat format) {
    switch (format) {
        case FeedFormat::kRss090:
            return 0;
        case FeedFormat::kRss091:
            return 1;
        case FeedFormat::kRss092:
            return 2;
        case FeedFormat::kRss093:
            return 3;
        case FeedFormat::kRss10:
            return 4;
        case FeedFormat::kRss20:
            return 5;
        case FeedFormat::kAtom03:
        case FeedFormat::kAtom10:
            return 6;
        default:
            return -1;
    }
}

CustomMapping ReadCustomMapping(const SettingsStore& settings, int map_index) {
    const std::u16string section = u"RSSMap\\Map" + text::FromAscii(std::to_string(map_index));
    CustomMapping mapping;
    mapping.title = text::ToLower(settings.ReadString(section, u"Title", u""));
    mapping.link = text::ToLower(settings.ReadString(section, u"Link", u""));
    mapping.date = text::ToLower(settings.ReadString(section, u"Date", u""));
    mapping.content = text::ToLower(settings.ReadString(section, u"Content", u""));
    mapping.xml_children = !mapping.content.empty() && settings.ReadDword(section, u"XmlChildren", 0) != 0;
    return mapping;
}

CustomMapping NoCustomMapping(int /*map_index*/) { return {}; }

}  // namespace qf
