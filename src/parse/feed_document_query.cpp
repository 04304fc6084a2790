// Reading the feed document's tree: paths, siblings, attributes and serialisation.
#include <vector>

#include "parse/feed_document.h"
#include "parse/wide_text.h"

namespace qf {

const FeedNode* FeedDocument::FindPath(std::u16string_view path) const {
    const size_t first_end = path.find(u'\\');
    if (root_ == nullptr || root_->name.view() != path.substr(0, first_end)) return nullptr;
    const FeedNode* node = root_;
    size_t start = first_end;
    while (start != std::u16string_view::npos) {
        ++start;
        const size_t end = path.find(u'\\', start);
        const std::u16string_view name =
            path.substr(start, end == std::u16string_view::npos ? end : end - start);
        const FeedNode* match = node->children.front();
        while (match != nullptr && !text::EqualsIgnoreCase(match->name, name)) match = match->next_sibling;
        if (match == nullptr) return nullptr;
        node = match;
        start = end;
    }
    return node;
}

const FeedNode* FeedDocument::FirstChild(const FeedNode* node) const {
    return node == nullptr ? nullptr : node->children.front();
}

const FeedNode* FeedDocument::NextSibling(const FeedNode* node) const {
    return node == nullptr ? nullptr : node->next_sibling.get();
}

std::u16string_view FeedDocument::GetAttribute(const FeedNode* node, std::u16string_view name) const {
    if (node == nullptr) return {};
    for (const FeedAttribute& attribute : node->attributes) {
        if (text::EqualsIgnoreCase(attribute.name, name)) return attribute.value;
    }
    return {};
}

bool FeedDocument::HasAttributeValue(const FeedNode* node, std::u16string_view name,
                                     std::u16string_view value) const {
    if (node == nullptr) return false;
    for (const FeedAttribute& attribute : node->attributes) {
        if (text::EqualsIgnoreCase(attribute.name, name) && attribute.value == value) return true;
    }
    return false;
}

std::u16string FeedDocument::SerializeNode(const FeedNode* node, OwnTags own_tags, Quotes quotes) const {
    std::u16string out;
    if (node == nullptr) return out;
    const char16_t quote = quotes == Quotes::kSingle ? u'\'' : u'"';
    auto open = [&](const FeedNode& element, bool with_tags) {
        if (with_tags) {
            out += u'<';
            out += element.name;
            for (const FeedAttribute& attribute : element.attributes) {
                out += u' ';
                out += attribute.name;
                out += u'=';
                out += quote;
                out += attribute.value;
                out += quote;
            }
            out += element.is_empty_element ? u"/>\n" : u">\n";
        }
        if (!element.text.empty()) {
            out += element.text;
            out += u'\n';
        }
    };
    auto close = [&](const FeedNode& element, bool with_tags) {
        if (!with_tags || element.is_empty_element) return;
        out += u"</";
        out += element.name;
        out += u">\n";
    };

    // Depth first with an explicit stack: hostile files nest elements by the ten thousand.
    struct Frame {
        const FeedNode* node;
        bool with_tags;
        const FeedNode* next_child;
    };
    std::vector<Frame> stack{{node, own_tags == OwnTags::kWrite, node->children.front()}};
    open(*node, stack.back().with_tags);
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (const FeedNode* child = top.next_child) {
            top.next_child = child->next_sibling;
            open(*child, true);
            stack.push_back({child, true, child->children.front()});
        } else {
            close(*top.node, top.with_tags);
            stack.pop_back();
        }
    }
    return out;
}

}  // namespace qf
