// Where DrawTextW breaks its lines. Pure: widths come in from the caller, so the rules can be tested
// whole with made-up glyph widths.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace qf::device::gdi {

enum class LineBreaking {
    kLineBreaksOnly,  // lines end only at CR and LF
    kWords,           // ... and where the next word would pass the right edge (DT_WORDBREAK)
    kSingleLine,      // one line whatever the text holds (DT_SINGLELINE)
};

// Code units [begin, end) of the text drawn as one line, `width` pixels wide.
struct TextLine {
    std::size_t begin = 0;
    std::size_t end = 0;
    int width = 0;
    bool operator==(const TextLine&) const = default;
};

// Breaks `text` into lines. `advances[i]` is the width of code unit i (a surrogate pair carries its
// width on the first unit). The rules are Windows' DrawText rules:
// - CR, LF, CR LF and LF CR end a line; a break at the very end of the text starts no new line;
// - kWords: a line that would pass `max_width` breaks at its last run of spaces that follows a word; the
//   run is dropped, and a run of spaces that itself passes the edge is dropped with any one line break
//   right after it, so spaces never wrap onto a line of their own;
// - a word that passes the edge with no such run before it on its line is cut after the last code point
//   that fits, at least one per line;
// - a line ended by a line break or by the end of the text keeps its trailing spaces in its width.
// Linear in the length of the text.
std::vector<TextLine> BreakLines(std::u16string_view text, std::span<const int> advances, int max_width,
                                 LineBreaking breaking);

// The width of a run of advances. Sums stop at +-kMaxTextWidth, so that no text, however long,
// overflows a coordinate.
inline constexpr int kMaxTextWidth = 1 << 28;
inline int AddWidth(int width, int advance) {
    return static_cast<int>(
        std::clamp<long long>(static_cast<long long>(width) + advance, -kMaxTextWidth, kMaxTextWidth));
}
int SumWidths(std::span<const int> advances);

// True for the code units that end a line (CR, LF).
inline bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace qf::device::gdi
