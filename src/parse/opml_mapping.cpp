// The OPML mappings: outlines as items with their child outlines written out as text, and subscription
// lists whose outlines name feeds.
#include <algorithm>
#include <initializer_list>

#include "parse/feed_mapping.h"
#include "parse/text_cleanup.h"
#include "parse/wide_text.h"

namespace qf::mapping {
namespace {

// Deeper outlines are left out of the built text: each line carries its depth in hyphens, so without a
// bound a hostile file of nested outlines would make text growing with the square of its size.
constexpr int kMaxOutlineDepth = 64;

bool IsOutline(const FeedNode& node) { return node.name == u"outline"; }

// For each child outline of `parent`, depth first: `depth` hyphens, a blank, its text and a line break,
// then its own child outlines one level deeper.
void AppendNestedOutlines(const FeedDocument& document, const FeedNode& parent, int depth,
                          std::u16string& out) {
    struct Frame {
        int depth;
        const FeedNode* next_child;
    };
    std::vector<Frame> stack{{depth, parent.children.front()}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const FeedNode* child = top.next_child;
        if (child == nullptr) {
            stack.pop_back();
            continue;
        }
        top.next_child = child->next_sibling;
        if (!IsOutline(*child)) continue;
        const int child_depth = top.depth;
        out.append(static_cast<size_t>(child_depth), u'-');
        out += u' ';
        out += document.GetAttribute(child, u"text");
        out += u'\n';
        if (child_depth < kMaxOutlineDepth) stack.push_back({child_depth + 1, child->children.front()});
    }
}

// The description of a style-2 outline: its own description, then for each child outline a line with
// its text and description, followed by that child's nested outlines.
std::u16string Style2Description(const FeedDocument& document, const FeedNode& outline) {
    std::u16string out(document.GetAttribute(&outline, u"description"));
    for (const FeedNode* child : outline.children) {
        if (!IsOutline(*child)) continue;
        out += u"\n-";
        const std::u16string_view text = document.GetAttribute(child, u"text");
        const std::u16string_view description = document.GetAttribute(child, u"description");
        if (!text.empty() && !description.empty()) {
            out += u' ';
            out += text;
            out += u": ";
            out += description;
        } else if (!text.empty() || !description.empty()) {
            out += u' ';
            out += text.empty() ? description : text;
        }
        AppendNestedOutlines(document, *child, 2, out);
    }
    return out;
}

// Fills channel fields from the children of `head` by lower-cased name: title, link, description, and
// the date from lastbuilddate or, while no date is set, from one of `fallback_dates`.
void MapHead(const FeedDocument& document, const FeedNode* head, bool strip_title_cdata,
             std::initializer_list<std::u16string_view> fallback_dates, ParsedFeed& feed) {
    for (const FeedNode* child = document.FirstChild(head); child != nullptr;
         child = document.NextSibling(child)) {
        const FoldedName n(child->name);
        const bool fallback_date = std::any_of(fallback_dates.begin(), fallback_dates.end(),
                                               [&n](std::u16string_view date) { return n == date; });
        if (n == u"title") {
            feed.title = strip_title_cdata ? StripCdata(child->text) : std::u16string(child->text);
        } else if (n == u"link") {
            feed.link = child->text;
        } else if (n == u"description") {
            feed.description = child->text;
        } else if (n == u"lastbuilddate" || (fallback_date && feed.date.empty())) {
            feed.date = child->text;
        }
    }
}

// Calls `visit` for each empty element among `first` and its following siblings; any other element is a
// folder whose children are walked the same way, at its place in the order.
template <typename Visit>
void WalkSubscriptionOutlines(const FeedDocument& document, const FeedNode* first, Visit visit) {
    std::vector<const FeedNode*> pending{first};
    while (!pending.empty()) {
        const FeedNode* node = pending.back();
        pending.pop_back();
        if (node == nullptr) continue;
        pending.push_back(document.NextSibling(node));
        if (node->is_empty_element) {
            visit(*node);
        } else {
            pending.push_back(document.FirstChild(node));
        }
    }
}

}  // namespace

void MapOpmlOutlines(const FeedDocument& document, FeedFormat format, MappingOutput& out) {
    if (document.FindPath(u"opml") == nullptr) return;
    const bool style2 = format == FeedFormat::kOpml11;
    ParsedFeed& feed = out.channel();
    feed.format_name = FormatName(format);
    feed.title = u"Opml Data";
    MapHead(document, document.FindPath(u"opml\\head"), style2, {u"dc:date"}, feed);
    for (const FeedNode* node = document.FindPath(u"opml\\body\\outline"); node != nullptr;
         node = document.NextSibling(node)) {
        if (!IsOutline(*node)) continue;
        ParsedItem item;
        item.title = document.GetAttribute(node, u"text");
        item.link = document.GetAttribute(node, u"htmlUrl");
        if (style2) {
            item.description = Style2Description(document, *node);
        } else {
            AppendNestedOutlines(document, *node, 1, item.description);
        }
        out.Add(std::move(item));
    }
}

void MapSubscriptions(const FeedDocument& document, FeedFormat format, MappingOutput& out) {
    if (document.FindPath(u"opml") == nullptr) return;
    ParsedFeed& feed = out.channel();
    feed.format_name = FormatName(format);
    feed.title = NumberedTitle(u"Subscription: ");
    const FeedNode* first = document.FindPath(u"opml\\body\\outline");
    if (format == FeedFormat::kOpmlSharpReader) {
        if (const FeedNode* title = document.FindPath(u"opml\\head\\title")) feed.title = title->text;
        WalkSubscriptionOutlines(document, first, [&](const FeedNode& outline) {
            if (!document.HasAttributeValue(&outline, u"type", u"rss")) return;
            ParsedItem item;
            item.title = document.GetAttribute(&outline, u"title");
            item.link = document.GetAttribute(&outline, u"xmlUrl");
            item.description = document.GetAttribute(&outline, u"description");
            out.Add(std::move(item));
        });
        return;
    }
    MapHead(document, document.FindPath(u"opml\\head"), true, {u"dc:date", u"datecreated"}, feed);
    WalkSubscriptionOutlines(document, first, [&](const FeedNode& outline) {
        ParsedItem item;
        item.title = document.GetAttribute(&outline, u"title");
        if (item.title.empty()) item.title = document.GetAttribute(&outline, u"text");
        item.link = document.GetAttribute(&outline, u"xmlUrl");
        item.description = document.GetAttribute(&outline, u"description");
        if (!item.title.empty() && !item.link.empty()) out.Add(std::move(item));
    });
}

}  // namespace qf::mapping
