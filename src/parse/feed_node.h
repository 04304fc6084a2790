// The nodes of a feed document's tree.
//
// A document keeps its decoded text and its tree in one block of memory, and every reference in the tree
// (to text, to other nodes, to attributes) is a 32-bit distance from the field that holds it. That keeps
// a node at 44 bytes (a big feed has a node every hundred bytes, so the tree stays small beside the text)
// and keeps the references valid when the block moves as it grows. Only FeedDocument makes nodes;
// callers read them through the pointers it hands out, which stay valid until it parses again or is
// destroyed. Never copy a node or its fields: a copy's distances lead nowhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qf {

class TreeBuilder;
struct FeedNode;

// Characters stored before this field in the document's block; reads as a std::u16string_view.
class TextRef {
  public:
    TextRef() = default;
    TextRef(const TextRef&) = delete;
    TextRef& operator=(const TextRef&) = delete;

    std::u16string_view view() const {
        const std::byte* chars = reinterpret_cast<const std::byte*>(this) - std::ptrdiff_t{back_} * 2;
        return {reinterpret_cast<const char16_t*>(chars), length_};
    }
    operator std::u16string_view() const { return view(); }
    size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    friend bool operator==(const TextRef& ref, std::u16string_view text) { return ref.view() == text; }

  private:
    friend class TreeBuilder;
    // `chars` must lie before this field in the same block, at most 2^32 characters away.
    void Set(const char16_t* chars, size_t length) {
        back_ = static_cast<std::uint32_t>(
            (reinterpret_cast<const std::byte*>(this) - reinterpret_cast<const std::byte*>(chars)) / 2);
        length_ = static_cast<std::uint32_t>(length);
    }

    std::uint32_t back_ = 0;  // in characters, from the text to this field
    std::uint32_t length_ = 0;
};

// Another node of the same document, or none; reads as a `const FeedNode*`.
class NodeLink {
  public:
    NodeLink() = default;
    NodeLink(const NodeLink&) = delete;
    NodeLink& operator=(const NodeLink&) = delete;

    const FeedNode* get() const {
        if (delta_ == 0) return nullptr;
        return reinterpret_cast<const FeedNode*>(reinterpret_cast<const std::byte*>(this) +
                                                 std::ptrdiff_t{delta_} * 4);
    }
    operator const FeedNode*() const { return get(); }
    const FeedNode* operator->() const { return get(); }

  private:
    friend class TreeBuilder;
    // A node is never at the address of one of its own link fields, so 0 is free to mean none.
    void Set(const FeedNode* node) {
        delta_ = node == nullptr ? 0
                                 : static_cast<std::int32_t>((reinterpret_cast<const std::byte*>(node) -
                                                              reinterpret_cast<const std::byte*>(this)) /
                                                             4);
    }

    std::int32_t delta_ = 0;  // in 4-byte steps from this field
};

struct FeedAttribute {
    TextRef name;
    TextRef value;  // raw, without the quotes
};

// A node's attributes in the order written: a range of FeedAttribute.
class AttributeList {
  public:
    AttributeList() = default;
    AttributeList(const AttributeList&) = delete;
    AttributeList& operator=(const AttributeList&) = delete;

    const FeedAttribute* begin() const {
        return reinterpret_cast<const FeedAttribute*>(reinterpret_cast<const std::byte*>(this) +
                                                      std::ptrdiff_t{delta_} * 4);
    }
    const FeedAttribute* end() const { return begin() + count_; }
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const FeedAttribute& operator[](size_t index) const { return begin()[index]; }

  private:
    friend class TreeBuilder;
    void Set(const FeedAttribute* first, size_t count) {
        delta_ = static_cast<std::int32_t>(
            (reinterpret_cast<const std::byte*>(first) - reinterpret_cast<const std::byte*>(this)) / 4);
        count_ = static_cast<std::uint32_t>(count);
    }

    std::int32_t delta_ = 0;
    std::uint32_t count_ = 0;
};

// A node's child elements in document order, reached through the first child and the sibling links.
// size() and operator[] walk the list.
class ChildList {
  public:
    class Iterator {
      public:
        explicit Iterator(const FeedNode* node) : node_(node) {}
        const FeedNode* operator*() const { return node_; }
        Iterator& operator++();
        bool operator==(const Iterator&) const = default;

      private:
        const FeedNode* node_;
    };

    ChildList() = default;
    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;

    Iterator begin() const { return Iterator(first_.get()); }
    Iterator end() const { return Iterator(nullptr); }
    bool empty() const { return first_.get() == nullptr; }
    const FeedNode* front() const { return first_.get(); }
    size_t size() const;
    const FeedNode* operator[](size_t index) const;

  private:
    friend class TreeBuilder;
    NodeLink first_;
};

// One element.
struct FeedNode {
    TextRef name;  // as written, case kept: "rdf:RDF", "dc:date"
    // The raw content of a leaf element; empty for an element with child elements.
    TextRef text;
    AttributeList attributes;
    ChildList children;
    NodeLink parent;
    NodeLink previous_sibling;
    NodeLink next_sibling;
    bool is_empty_element = false;  // written as an empty-element tag ("<guid/>")
};

inline ChildList::Iterator& ChildList::Iterator::operator++() {
    node_ = node_->next_sibling.get();
    return *this;
}

inline size_t ChildList::size() const {
    size_t count = 0;
    for (const FeedNode* node = front(); node != nullptr; node = node->next_sibling.get()) ++count;
    return count;
}

inline const FeedNode* ChildList::operator[](size_t index) const {
    const FeedNode* node = front();
    while (index-- > 0 && node != nullptr) node = node->next_sibling.get();
    return node;
}

}  // namespace qf
