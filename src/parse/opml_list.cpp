#include "parse/opml_list.h"

#include <algorithm>
#include <unordered_set>

#include "parse/text_cleanup.h"
#include "windows.h"

namespace qf {
namespace {

std::u16string Attribute(const FeedDocument& document, const FeedNode* node, std::u16string_view name) {
    return DecodeEntities(document.GetAttribute(node, name));
}

// An attribute value in double quotes: markup characters escaped, and line breaks and tabs written as
// references so that a reader's attribute normalisation does not turn them into blanks.
std::string AttributeText(std::u16string_view text) {
    std::u16string escaped;
    escaped.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'&':
                escaped += u"&amp;";
                break;
            case u'\n':
                escaped += u"&#10;";
                break;
            case u'\r':
                escaped += u"&#13;";
                break;
            case u'\t':
                escaped += u"&#9;";
                break;
            default:
                escaped += c;
        }
    }
    return WideToUtf8(EscapeXml(escaped));
}

// Appends the node's children in reverse, so that the first child is popped first.
void PushChildrenReversed(const FeedNode* node, std::vector<const FeedNode*>& pending) {
    size_t first = pending.size();
    for (const FeedNode* child : node->children) pending.push_back(child);
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
}

}  // namespace

OpmlListStatus ReadOpmlList(const FeedDocument& document, std::vector<OpmlFeed>& feeds) {
    feeds.clear();
    const FeedNode* body = document.FindPath(u"opml\\body");
    if (body == nullptr) return OpmlListStatus::kNotOpml;
    std::unordered_set<std::u16string> seen;
    // Depth first in document order: the pending nodes in reverse, so the next one is at the back.
    std::vector<const FeedNode*> pending;
    PushChildrenReversed(body, pending);
    while (!pending.empty()) {
        const FeedNode* node = pending.back();
        pending.pop_back();
        if (node->name != u"outline") continue;
        OpmlFeed feed;
        feed.xml_url = Attribute(document, node, u"xmlUrl");
        if (feed.xml_url.empty()) {
            PushChildrenReversed(node, pending);
            continue;
        }
        if (!seen.insert(feed.xml_url).second) continue;
        feed.title = Attribute(document, node, u"title");
        if (feed.title.empty()) feed.title = Attribute(document, node, u"text");
        if (feed.title.empty()) feed.title = feed.xml_url;
        feed.html_url = Attribute(document, node, u"htmlUrl");
        feed.description = Attribute(document, node, u"description");
        feeds.push_back(std::move(feed));
    }
    return OpmlListStatus::kOk;
}

std::string WriteOpmlList(std::u16string_view title, const std::vector<OpmlFeed>& feeds) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n  <head>\n    <title>" +
        AttributeText(title) + "</title>\n  </head>\n  <body>\n";
    for (const OpmlFeed& feed : feeds) {
        std::string title_text = AttributeText(feed.title);
        out += "    <outline type=\"rss\" text=\"" + title_text + "\" title=\"" + title_text +
               "\" xmlUrl=\"" + AttributeText(feed.xml_url) + "\"";
        if (!feed.html_url.empty()) out += " htmlUrl=\"" + AttributeText(feed.html_url) + "\"";
        if (!feed.description.empty()) out += " description=\"" + AttributeText(feed.description) + "\"";
        out += "/>\n";
    }
    return out + "  </body>\n</opml>\n";
}

}  // namespace qf
