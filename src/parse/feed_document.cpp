// FeedDocument::Parse: builds the element tree in one forward pass over the text.
#include "parse/feed_document.h"

#include "parse/closing_tag_index.h"
#include "parse/xml_tag.h"

namespace qf {
namespace {

constexpr size_t kNone = std::u16string_view::npos;

// The first occurrence of a fixed string at or after positions that only grow. Remembering the last
// answer keeps many unterminated comments from each searching the rest of the text.
class ForwardFinder {
  public:
    ForwardFinder(std::u16string_view text, std::u16string_view needle) : text_(text), needle_(needle) {}

    size_t FindFrom(size_t from) {
        if (!searched_ || (found_ != kNone && found_ < from)) {
            found_ = text_.find(needle_, from);
            searched_ = true;
        }
        return found_;
    }

  private:
    std::u16string_view text_;
    std::u16string_view needle_;
    bool searched_ = false;
    size_t found_ = kNone;
};

}  // namespace

// The state of one Parse: the open elements and the last completed element at the current level.
class TreeBuilder {
  public:
    TreeBuilder(FeedDocument& document, std::u16string_view text)
        : document_(document), text_(text), closing_tags_(text), comment_ends_(text, u"-->") {}

    bool Build() {
        size_t lt = text_.find(u'<');
        if (lt == kNone) return false;
        while (lt != kNone) {
            const size_t gt = text_.find(u'>', lt);
            if (gt == kNone) return false;
            const size_t tag_end = HandleTag(lt, gt);
            lt = text_.find(u'<', tag_end + 1);
        }
        return true;
    }

  private:
    FeedNode* current() const { return open_.empty() ? nullptr : open_.back(); }

    bool StartsCdata(size_t lt) const {
        return text_.size() > lt + 1 && text_[lt + 1] == u'!' && text_.substr(lt).starts_with(u"<![CDATA[");
    }

    // Handles the tag from `lt` to `gt`; answers where it ends (the next tag is searched after that).
    size_t HandleTag(size_t lt, size_t gt) {
        const std::u16string_view tag = text_.substr(lt + 1, gt - lt - 1);
        if (xml::IsComment(tag)) {
            // Without a "-->" the comment opening is read as an element like any other tag.
            const size_t comment_end = comment_ends_.FindFrom(lt);
            if (comment_end != kNone) return comment_end + 2;
        } else if (xml::IsDeclaration(tag)) {
            return gt;
        }
        if (FeedNode* open = current(); open != nullptr && xml::ClosingTagName(tag) == open->name) {
            open_.pop_back();
            last_completed_ = open_.empty() ? nullptr : open;
            return gt;
        }
        return AddElement(tag, gt);
    }

    size_t AddElement(std::u16string_view tag, size_t gt) {
        FeedNode& node = document_.nodes_.emplace_back();
        node.name = xml::ElementName(tag);
        ReadAttributes(tag, node);
        FeedNode* parent = current();
        node.parent = parent;
        node.previousSibling = last_completed_;
        if (last_completed_ != nullptr) last_completed_->nextSibling = &node;
        if (parent != nullptr) parent->children.push_back(&node);

        if (!tag.empty() && tag.back() == u'/') {
            node.isEmptyElement = true;
            if (parent == nullptr) document_.root_ = &node;
            last_completed_ = &node;
            return gt;
        }
        const size_t closing = closing_tags_.Find(node.name, gt);
        if (closing == kNone) {
            last_completed_ = &node;
            return gt;
        }
        if (parent == nullptr) document_.root_ = &node;
        // The first "<" after the start tag lies at or before the closing tag.
        const size_t first_lt = text_.find(u'<', gt + 1);
        if (first_lt < closing && !StartsCdata(first_lt)) {
            open_.push_back(&node);
            last_completed_ = nullptr;
            return gt;
        }
        // A leaf: its content is kept as written and the scan goes on after the closing tag.
        node.text = text_.substr(gt + 1, closing - gt - 1);
        last_completed_ = &node;
        return closing;
    }

    void ReadAttributes(std::u16string_view tag, FeedNode& node) {
        if (tag.find(u'=') == kNone) return;
        std::u16string_view normalized = tag;
        if (xml::NeedsNormalizing(tag))
            normalized = document_.normalized_tags_.emplace_back(xml::NormalizeTag(tag));
        xml::ForEachAttribute(normalized, [&node](std::u16string_view name, std::u16string_view value) {
            node.attributes.push_back({name, value});
        });
    }

    FeedDocument& document_;
    std::u16string_view text_;
    xml::ClosingTagIndex closing_tags_;
    ForwardFinder comment_ends_;
    std::vector<FeedNode*> open_;
    FeedNode* last_completed_ = nullptr;
};

void FeedDocument::Clear() {
    root_ = nullptr;
    nodes_.clear();
    normalized_tags_.clear();
    text_.clear();
}

bool FeedDocument::Parse(std::u16string text) {
    Clear();
    text_ = std::move(text);
    return TreeBuilder(*this, text_).Build();
}

}  // namespace qf
