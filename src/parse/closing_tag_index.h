// Where each closing tag "</name>" of a text stands, found in one pass so that the reader can look up the
// closing tag of every element it opens without searching the rest of the text each time (which is
// quadratic on feeds full of unclosed "<br>" or "<p>").
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qf::xml {

class ClosingTagIndex {
  public:
    // Indexes `text`. Linear in its size: each "</" is keyed by what
    // stands between it and the next ">", hashed with a rolling hash so that nested candidates such as
    // "</a</b>" cost nothing extra.
    explicit ClosingTagIndex(std::u16string_view text);

    // The position of the first "</" + name + ">" at or after `from` in `text` (the indexed text, which
    // may have moved since), or npos. The `from` of successive calls must not decrease (the reader only
    // moves forward), which keeps all lookups together linear.
    size_t Find(std::u16string_view text, std::u16string_view name, size_t from);

  private:
    struct Key {
        std::uint64_t hash;
        size_t length;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const { return key.hash ^ (key.length * 0x9E3779B97F4A7C15ull); }
    };
    struct Occurrences {
        std::vector<size_t> positions;  // ascending
        size_t next = 0;                // positions before this one lie behind every later `from`
    };

    std::uint64_t Step(std::uint64_t hash, char16_t c) const;

    std::uint64_t base_;
    std::unordered_map<Key, Occurrences, KeyHash> occurrences_;
};

}  // namespace qf::xml
