// Finding the closing tag "</name>" of each element the reader opens.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "parse/closing_tag_index.h"

namespace qf::xml {

// Answers "where is the first </name> at or after `from`" and "is there one" for questions whose
// `from` never decreases. Each name's last answer is remembered; whether there is one is mostly settled
// by the name's last closing tag, looked for once near the end of the text (where the closing tags of
// the feed's repeated elements stand), so a well-formed feed needs few searches. When searches add up to
// a few passes over the text (hostile input: many names whose closing tags never come), the finder
// builds a ClosingTagIndex and asks it from then on, which keeps the whole reading linear.
//
// `text` is the text every question is about (it may move between questions but not change) and `name`
// a view into it.
class ClosingTagFinder {
  public:
    size_t Find(std::u16string_view text, std::u16string_view name, size_t from);
    bool Exists(std::u16string_view text, std::u16string_view name, size_t from);

  private:
    struct Answer {
        // Where the name stands in the text, to tell names of equal hash apart.
        size_t name_position;
        size_t name_length;
        size_t closing = std::u16string_view::npos;  // the first at or after the last `from`, or npos
        bool searched = false;                       // whether `closing` holds an answer
        size_t last = std::u16string_view::npos;     // the name's last closing tag, when known
        bool looked_at_end = false;                  // whether the end of the text was searched
    };

    // The answer kept for `name`; null when another name of equal hash holds the place.
    Answer* Remembered(std::u16string_view text, std::u16string_view name);
    size_t Search(std::u16string_view text, std::u16string_view name, size_t from);
    size_t SearchBackFromEnd(std::u16string_view text, std::u16string_view name);
    void Spent(std::u16string_view text, size_t searched);

    std::unordered_map<std::uint64_t, Answer> answers_;
    size_t searched_ = 0;
    std::optional<ClosingTagIndex> index_;
};

}  // namespace qf::xml
