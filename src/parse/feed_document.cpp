// FeedDocument::Parse: builds the element tree in one forward pass over the text.
#include "parse/feed_document.h"

#include <climits>
#include <cstring>
#include <vector>

#include "parse/closing_tag_finder.h"
#include "parse/unit_search.h"
#include "parse/xml_tag.h"

namespace qf {
namespace {

constexpr size_t kNone = std::u16string_view::npos;

// The first occurrence of a fixed string at or after positions that only grow. Remembering the last
// answer keeps many unterminated comments from each searching the rest of the text.
class ForwardFinder {
  public:
    explicit ForwardFinder(std::u16string_view needle) : needle_(needle) {}

    size_t FindFrom(std::u16string_view text, size_t from) {
        if (!searched_ || (found_ != kNone && found_ < from)) {
            found_ = text.find(needle_, from);
            searched_ = true;
        }
        return found_;
    }

  private:
    std::u16string_view needle_;
    bool searched_ = false;
    size_t found_ = kNone;
};

bool StartsCdata(std::u16string_view text, size_t lt) {
    return text.size() > lt + 1 && text[lt + 1] == u'!' && text.substr(lt).starts_with(u"<![CDATA[");
}

// Rough room for the tree of a text: feeds have a node every hundred characters or so.
size_t TreeBytesFor(size_t chars) { return chars / 2 + 4096; }

}  // namespace

// The state of one Parse: the open elements and the last completed element at the current level. The
// block may move whenever a node is made, so everything here is held as block offsets and text positions.
class TreeBuilder {
  public:
    explicit TreeBuilder(DocumentBlock& block) : block_(block) {}

    // False for a text without "<", a "<" without a later ">" or when memory runs out.
    bool Build() {
        size_t lt = NextLt(0);
        if (lt == kNone) return false;
        while (lt != kNone) {
            const size_t gt = text::FindUnit(text(), u'>', lt + 1);
            if (gt == kNone) return false;
            lt = HandleTag(lt, gt);
            if (out_of_memory_) return false;
        }
        return true;
    }

    const FeedNode* root() { return node(root_); }

  private:
    // Where an attribute's name and value stand in the text or in normalized_.
    struct AttributeSpan {
        size_t name;
        size_t name_length;
        size_t value;
        size_t value_length;
    };
    enum class Shape { kEmptyElement, kUnclosed, kLeaf, kOpen };

    std::u16string_view text() const { return block_.text_view(); }
    size_t NextLt(size_t from) const { return text::FindUnit(text(), u'<', from); }
    FeedNode* node(size_t offset) { return offset == kNone ? nullptr : block_.at<FeedNode>(offset); }

    // Handles the tag from `lt` to `gt`; answers where the next tag starts (kNone at the end).
    size_t HandleTag(size_t lt, size_t gt) {
        const std::u16string_view tag = text().substr(lt + 1, gt - lt - 1);
        if (xml::IsComment(tag)) {
            // Without a "-->" the comment opening is read as an element like any other tag.
            const size_t comment_end = comment_ends_.FindFrom(text(), lt);
            if (comment_end != kNone) return NextLt(comment_end + 3);
        } else if (xml::IsDeclaration(tag)) {
            return NextLt(gt + 1);
        }
        if (!open_.empty() && xml::ClosingTagName(tag) == node(open_.back())->name.view()) {
            const size_t closed = open_.back();
            open_.pop_back();
            last_completed_ = open_.empty() ? kNone : closed;
            return NextLt(gt + 1);
        }
        return AddElement(lt, gt);
    }

    size_t AddElement(size_t lt, size_t gt) {
        const std::u16string_view all = text();
        const std::u16string_view tag = all.substr(lt + 1, gt - lt - 1);
        const std::u16string_view name = xml::ElementName(tag);
        const size_t name_position = static_cast<size_t>(name.data() - all.data());
        CollectAttributes(tag);

        Shape shape = Shape::kEmptyElement;
        size_t content = 0, content_length = 0;
        size_t next_lt = NextLt(gt + 1);
        if (tag.empty() || tag.back() != u'/') {
            // The content reaches to the first closing tag of the name. Most leaves end at the very next
            // tag; an element whose next tag is another element has children when that closing tag
            // exists at all; a CDATA section makes a leaf that reaches to wherever the closing tag is.
            size_t closing = kNone;
            if (next_lt == kNone) {
                shape = Shape::kUnclosed;
            } else if (xml::ClosesAt(all, next_lt, name)) {
                closing = next_lt;
            } else if (StartsCdata(all, next_lt)) {
                closing = closing_tags_.Find(all, name, gt);
                if (closing == kNone) shape = Shape::kUnclosed;
            } else {
                shape = closing_tags_.Exists(all, name, gt) ? Shape::kOpen : Shape::kUnclosed;
            }
            if (closing != kNone) {
                // A leaf: its content is kept as written and the scan goes on after the closing tag.
                shape = Shape::kLeaf;
                content = gt + 1;
                content_length = closing - content;
                next_lt = NextLt(closing + 1);
            }
        }
        const size_t made = MakeNode(name_position, name.size(), content, content_length);
        if (made == kNone) return kNone;
        FeedNode& made_node = *node(made);
        made_node.is_empty_element = shape == Shape::kEmptyElement;
        if (shape != Shape::kUnclosed && made_node.parent.get() == nullptr) root_ = made;
        if (shape == Shape::kOpen) {
            open_.push_back(made);
            last_completed_ = kNone;
        } else {
            last_completed_ = made;
        }
        return next_lt;
    }

    // Reads the tag's attributes into attributes_, from normalized_ when the tag needs normalising.
    void CollectAttributes(std::u16string_view tag) {
        attributes_.clear();
        from_normalized_ = false;
        if (text::FindUnit(tag, u'=', 0) == kNone) return;
        std::u16string_view source = tag;
        const char16_t* origin = text().data();
        if (xml::NeedsNormalizing(tag)) {
            normalized_ = xml::NormalizeTag(tag);
            source = normalized_;
            origin = normalized_.data();
            from_normalized_ = true;
        }
        xml::ForEachAttribute(source, [&](std::u16string_view name, std::u16string_view value) {
            attributes_.push_back({static_cast<size_t>(name.data() - origin), name.size(),
                                   static_cast<size_t>(value.data() - origin), value.size()});
        });
    }

    // Makes the node after its normalised tag text (if its attributes need it) and before its attributes,
    // and links it into the tree; its offset, or kNone when memory runs out.
    size_t MakeNode(size_t name, size_t name_length, size_t content, size_t content_length) {
        const bool copy_tag = from_normalized_ && !attributes_.empty();
        const size_t tag_copy = copy_tag ? block_.Copy(normalized_) : kNone;
        const size_t made = block_.Make<FeedNode>();
        const size_t attributes =
            attributes_.empty() ? kNone : block_.Make<FeedAttribute>(attributes_.size());
        if ((copy_tag && tag_copy == kNone) || made == kNone ||
            (!attributes_.empty() && attributes == kNone)) {
            out_of_memory_ = true;
            return kNone;
        }
        // The block stands still from here to the next Make.
        const char16_t* const chars = block_.text();
        FeedNode& node_ref = *node(made);
        node_ref.name.Set(chars + name, name_length);
        if (content_length > 0) node_ref.text.Set(chars + content, content_length);
        if (!attributes_.empty()) {
            const char16_t* source = copy_tag ? block_.at<char16_t>(tag_copy) : chars;
            auto* first = block_.at<FeedAttribute>(attributes);
            for (size_t i = 0; i < attributes_.size(); ++i) {
                const AttributeSpan& span = attributes_[i];
                first[i].name.Set(source + span.name, span.name_length);
                first[i].value.Set(source + span.value, span.value_length);
            }
            node_ref.attributes.Set(first, attributes_.size());
        }
        FeedNode* parent = open_.empty() ? nullptr : node(open_.back());
        node_ref.parent.Set(parent);
        if (FeedNode* previous = node(last_completed_)) {
            node_ref.previous_sibling.Set(previous);
            previous->next_sibling.Set(&node_ref);
        }
        // Later children are reached from the first through the sibling links.
        if (parent != nullptr && parent->children.empty()) parent->children.first_.Set(&node_ref);
        return made;
    }

    DocumentBlock& block_;
    xml::ClosingTagFinder closing_tags_;
    ForwardFinder comment_ends_{u"-->"};
    std::vector<size_t> open_;
    size_t last_completed_ = kNone;
    size_t root_ = kNone;
    bool out_of_memory_ = false;
    // Scratch for the tag being read.
    std::vector<AttributeSpan> attributes_;
    std::u16string normalized_;
    bool from_normalized_ = false;
};

void FeedDocument::Clear() {
    root_ = nullptr;
    block_.Clear();
}

bool FeedDocument::Build() {
    TreeBuilder builder(block_);
    const bool built = builder.Build();
    root_ = builder.root();
    return built;
}

bool FeedDocument::Parse(std::u16string text) {
    Clear();
    if (!block_.Reset(text.size(), TreeBytesFor(text.size()))) return false;
    if (!text.empty()) std::memcpy(block_.text(), text.data(), text.size() * sizeof(char16_t));
    block_.EndText(text.size());
    text = std::u16string();
    return Build();
}

bool FeedDocument::Load(FeedBytes& bytes) {
    Clear();
    if (bytes.size() > static_cast<size_t>(INT_MAX) ||
        !block_.Reset(bytes.size(), TreeBytesFor(bytes.size())))
        return false;
    const std::optional<size_t> chars = DecodeFeedBytes(bytes, block_.text());
    if (!chars) {
        Clear();
        return false;
    }
    block_.EndText(*chars);
    return Build();
}

}  // namespace qf
