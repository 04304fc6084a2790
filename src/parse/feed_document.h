// The feed document: the element tree of one XML file, built by a small forgiving reader of our own.
// Tags are found by searching for "<" and ">"; attributes in single or double quotes, empty-element tags,
// comments, processing instructions and declarations are understood; nothing is validated. Text is kept
// exactly as written between the tags (entity references and CDATA markers included).
//
// Reading is linear in the size of the text, also for hostile files full of unclosed tags.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "parse/document_block.h"
#include "parse/feed_node.h"

namespace qf {

// The bytes of a feed file, read from the start in slices; read again when decoding has to start over
// in another code page.
class FeedBytes {
  public:
    virtual ~FeedBytes() = default;
    virtual size_t size() const = 0;
    // Up to `max` bytes from `offset`, fewer only at the end; valid until the next call. Nullopt when
    // they cannot be read.
    virtual std::optional<std::string_view> Slice(size_t offset, size_t max) = 0;
};

enum class OwnTags { kWrite, kSkip };
enum class Quotes { kDouble, kSingle };

// Owns the decoded text and every node (in one DocumentBlock). Used by one thread at a time; not
// copyable.
class FeedDocument {
  public:
    FeedDocument() = default;
    FeedDocument(const FeedDocument&) = delete;
    FeedDocument& operator=(const FeedDocument&) = delete;

    // Reads the device file `path`, decodes it as DecodeFileText does and parses it. False when the
    // file cannot be opened or read (the document is then empty) or when Parse fails. The file is read
    // in slices straight into the document's text, so no copy of its bytes is held.
    bool LoadFile(const std::u16string& path);
    // As LoadFile for bytes already in memory (a fuzzer's input) or read from elsewhere.
    bool LoadBytes(std::string_view bytes);
    bool Load(FeedBytes& bytes);
    // Replaces the tree by the one read from `text`. False when the text holds no "<" or a "<" without a
    // later ">", or when memory runs out; the nodes made before such a fault stay in the tree. Unclosed
    // elements, stray closing tags and a missing root element are not errors.
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
    void Clear();
    bool Build();

    DocumentBlock block_;
    const FeedNode* root_ = nullptr;
};

// Decodes a feed file's bytes: as UTF-8 when that decoding writes back to exactly as many bytes (so
// invalid UTF-8 is caught), else in the device's ANSI code page. No byte order mark or declared encoding
// is looked at. The text ends at its first zero character, as a zero-terminated buffer does.
std::u16string DecodeFileText(std::string_view bytes);
// As DecodeFileText, reading `bytes` in slices into `out`, which has room for bytes.size() characters.
// The number of characters, or nullopt when the bytes cannot be read or number more than INT_MAX.
std::optional<size_t> DecodeFeedBytes(FeedBytes& bytes, char16_t* out);

}  // namespace qf
