#include "gdi/text_layout.h"

namespace qf::device::gdi {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

class LineBreaker {
  public:
    LineBreaker(std::u16string_view text, std::span<const int> advances, int max_width, bool wrap)
        : text_(text), advances_(advances), max_width_(max_width), wrap_(wrap) {}

    std::vector<TextLine> Run() {
        while (pos_ < text_.size()) NextLine();
        return std::move(lines_);
    }

  private:
    std::size_t UnitsAt(std::size_t i) const {
        return IsHighSurrogate(text_[i]) && i + 1 < text_.size() && IsLowSurrogate(text_[i + 1]) ? 2 : 1;
    }

    void SkipSpaces() {
        while (pos_ < text_.size() && text_[pos_] == u' ') ++pos_;
    }

    // Consumes one line break: CR, LF, CR LF or LF CR.
    void SkipLineBreak() {
        if (pos_ >= text_.size() || !IsLineBreak(text_[pos_])) return;
        ++pos_;
        if (pos_ < text_.size() && IsLineBreak(text_[pos_]) && text_[pos_] != text_[pos_ - 1]) ++pos_;
    }

    // What is known of the line being laid out.
    struct Line {
        std::size_t start = 0;
        int width = 0;
        // End and width of the line up to its last non-space.
        std::size_t content_end = 0;
        int content_width = 0;
        // The last run of spaces after a word, where the line may break, and the line before it.
        bool can_break = false;
        std::size_t break_at = 0;
        std::size_t break_content_end = 0;
        int break_content_width = 0;
    };

    // Lays out one line from pos_ and moves pos_ to the start of the next.
    void NextLine() {
        Line line{.start = pos_, .content_end = pos_};
        std::size_t i = pos_;
        while (i < text_.size() && !IsLineBreak(text_[i])) {
            std::size_t units = UnitsAt(i);
            int advance = advances_[i];
            if (wrap_ && AddWidth(line.width, advance) > max_width_) {
                WrapAt(line, i, units, advance);
                return;
            }
            bool space = text_[i] == u' ';
            if (space && line.content_end > line.start && text_[i - 1] != u' ') {
                line.can_break = true;
                line.break_at = i;
                line.break_content_end = line.content_end;
                line.break_content_width = line.content_width;
            }
            line.width = AddWidth(line.width, advance);
            i += units;
            if (!space) {
                line.content_end = i;
                line.content_width = line.width;
            }
        }
        lines_.push_back({line.start, i, line.width});
        pos_ = i;
        SkipLineBreak();
    }

    // The line overflows at code unit `i`, which is `units` long and `advance` wide.
    void WrapAt(const Line& line, std::size_t i, std::size_t units, int advance) {
        if (text_[i] == u' ') {
            // Spaces past the edge vanish, with a line break that follows them.
            if (line.content_end > line.start)
                lines_.push_back({line.start, line.content_end, line.content_width});
            pos_ = i;
            SkipSpaces();
            SkipLineBreak();
        } else if (line.can_break) {
            lines_.push_back({line.start, line.break_content_end, line.break_content_width});
            pos_ = line.break_at;
            SkipSpaces();
        } else if (i > line.start) {
            // A word longer than the line: cut it where it reaches the edge.
            lines_.push_back({line.start, i, line.width});
            pos_ = i;
        } else {
            // Not even one character fits: it gets a line of its own.
            lines_.push_back({line.start, i + units, advance});
            pos_ = i + units;
        }
    }

    std::u16string_view text_;
    std::span<const int> advances_;
    int max_width_;
    bool wrap_;
    std::size_t pos_ = 0;
    std::vector<TextLine> lines_;
};

}  // namespace

int SumWidths(std::span<const int> advances) {
    int width = 0;
    for (int advance : advances) width = AddWidth(width, advance);
    return width;
}

std::vector<TextLine> BreakLines(std::u16string_view text, std::span<const int> advances, int max_width,
                                 LineBreaking breaking) {
    if (breaking == LineBreaking::kSingleLine) {
        if (text.empty()) return {};
        return {{0, text.size(), SumWidths(advances.first(text.size()))}};
    }
    return LineBreaker(text, advances, max_width, breaking == LineBreaking::kWords).Run();
}

}  // namespace qf::device::gdi
