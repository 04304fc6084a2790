// The feed document: the element tree of one XML file, built by a small forgiving reader of our own.
// Tags are found by searching for "<" and ">"; attributes in single or double quotes, empty-element tags,
// comments, processing instructions and declarations are understood; nothing is validated. Text is kept
// exactly as written between the tags (entity references and CDATA markers included).
//
// Reading is linear in the size of the text, also for hostile files full of unclosed tags.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

struct FeedAttribute {
    std::u16string_view name;
    std::u16string_view value;  // raw, without the quotes
};

// One element. All views and pointers belong to the FeedDocument that made the node and stay valid until
// it parses again or is destroyed.
struct FeedNode {
    std::u16string_view name;  // as written, case kept: "rdf:RDF", "dc:date"
    // The raw content of a leaf element; empty for an element with child elements.
    std::u16string_view text;
    bool isEmptyElement = false;            // written as an empty-element tag ("<guid/>")
    std::vector<FeedAttribute> attributes;  // in the order written
    std::vector<FeedNode*> children;        // in document order
    FeedNode* parent = nullptr;
    FeedNode* previousSibling = nullptr;
    FeedNode* nextSibling = nullptr;
};

enum class OwnTags { kWrite, kSkip };
enum class Quotes { kDouble, kSingle };

// Owns the decoded text and every node. Used by one thread at a time; not copyable.
class FeedDocument {
  public:
    FeedDocument() = default;
    FeedDocument(const FeedDocument&) = delete;
    FeedDocument& operator=(const FeedDocument&) = delete;

    // Reads the device file `path` whole, decodes it with DecodeFileText and parses it. False when the
    // file cannot be opened or read (the document is then empty) or when Parse fails.
    bool LoadFile(const std::u16string& path);
    // As LoadFile for bytes already in memory (a host file, a fuzzer's input).
    bool LoadBytes(std::string_view bytes);
    // Replaces the tree by the one read from `text`. False when the text holds no "<" or a "<" without a
    // later ">"; the nodes made before such a fault stay in the tree. Unclosed elements, stray closing
    // tags and a missing root element are not errors.
    bool Parse(std::u16string text);

    // The document element: the last top-level element met; null when there is none.
    const FeedNode* root() const { return root_; }

    // Follows `path` ("rss\channel\item"): the first name must equal the root's name exactly, each
    // further name picks the first child of that name in any letter case. Null when a step fails.
    const FeedNode* FindPath(std::u16string_view path) const;
    // Null-tolerant tree steps: null for a null node or when there is no such node.
    const FeedNode* FirstChild(const FeedNode* node) const;
    const FeedNode* NextSibling(const FeedNode* node) const;
    // The value of the first attribute called `name` in any letter case; empty when none or no node.
    std::u16string_view GetAttribute(const FeedNode* node, std::u16string_view name) const;
    // True when any attribute called `name` (any letter case) has exactly `value`.
    bool HasAttributeValue(const FeedNode* node, std::u16string_view name, std::u16string_view value) const;
    // The element written back as XML: each tag and each non-empty text on a line of its own, attribute
    // values in the chosen quotes. With OwnTags::kSkip only its text and children (the inner XML).
    // Empty for a null node.
    std::u16string SerializeNode(const FeedNode* node, OwnTags own_tags, Quotes quotes) const;

  private:
    friend class TreeBuilder;

    void Clear();

    std::u16string text_;
    // Tag texts rewritten for attribute reading (line breaks and tabs normalised); attribute views may
    // point here. A deque so that earlier strings never move.
    std::deque<std::u16string> normalized_tags_;
    std::deque<FeedNode> nodes_;
    const FeedNode* root_ = nullptr;
};

// Decodes a feed file's bytes: as UTF-8 when that decoding writes back to exactly as many bytes (so
// invalid UTF-8 is caught), else in the device's ANSI code page. No byte order mark or declared encoding
// is looked at. The text ends at its first zero character, as a zero-terminated buffer does.
std::u16string DecodeFileText(std::string_view bytes);

}  // namespace qf
