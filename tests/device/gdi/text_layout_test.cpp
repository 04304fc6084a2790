#include "gdi/text_layout.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "gdi/text_placement.h"
#include "windows.h"

namespace qf::device::gdi {
namespace {

// One pixel per code unit, except line breaks (0) and the second half of a surrogate pair (0).
std::vector<int> UnitWidths(std::u16string_view text) {
    std::vector<int> widths;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool low_surrogate = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        widths.push_back(IsLineBreak(text[i]) || low_surrogate ? 0 : 1);
    }
    return widths;
}

std::vector<std::u16string> Lines(std::u16string_view text, int max_width, LineBreaking breaking) {
    std::vector<int> widths = UnitWidths(text);
    std::vector<std::u16string> lines;
    for (const TextLine& line : BreakLines(text, widths, max_width, breaking)) {
        lines.emplace_back(text.substr(line.begin, line.end - line.begin));
        EXPECT_EQ(line.width, std::accumulate(widths.begin() + line.begin, widths.begin() + line.end, 0));
    }
    return lines;
}

using L = std::vector<std::u16string>;

struct BreakCase {
    std::u16string text;
    int width;
    L expected;
    LineBreaking breaking = LineBreaking::kWords;
};

TEST(BreakLines, WordBreakRulesTable) {
    const BreakCase cases[] = {
        {u"hello world", 11, {u"hello world"}},
        {u"hello world", 10, {u"hello", u"world"}},
        {u"hello world", 5, {u"hello", u"world"}},
        {u"aaa   bbb", 5, {u"aaa", u"bbb"}},
        // Spaces never wrap by themselves: past the edge they vanish, with one line break after them.
        {u"hello     ", 7, {u"hello"}},
        {u"hello   \nnext", 6, {u"hello", u"next"}},
        {u"ab  ", 10, {u"ab  "}},
        {u"  ab", 10, {u"  ab"}},
        // A word longer than the line is cut at the edge; before that it moves to a line of its own.
        {u"abcdefghijklmnop", 5, {u"abcde", u"fghij", u"klmno", u"p"}},
        {u"ab cdefghijkl", 5, {u"ab", u"cdefg", u"hijkl"}},
        {u"ab cde fg", 5, {u"ab", u"cde", u"fg"}},
        // Nothing fits: one character per line, spaces dropped.
        {u"ab cd", 0, {u"a", u"b", u"c", u"d"}},
        // Line breaks: CR, LF, CR LF and LF CR each end one line; a final break adds none.
        {u"a\r\nb\nc\rd", 10, {u"a", u"b", u"c", u"d"}},
        {u"a\n\rb", 10, {u"a", u"b"}},
        {u"a\n\nb", 10, {u"a", u"", u"b"}},
        {u"a\n", 10, {u"a"}},
        {u"\n", 10, {u""}},
        {u"one two\nthree four", 9, {u"one two", u"three", u"four"}},
        // Surrogate pairs stay whole.
        {u"\U0001F600\U0001F600", 1, {u"\U0001F600", u"\U0001F600"}},
        // Without word breaks only line breaks count; a single line takes them as text.
        {u"hello world", 3, {u"hello world"}, LineBreaking::kLineBreaksOnly},
        {u"a\r\nb", 0, {u"a", u"b"}, LineBreaking::kLineBreaksOnly},
        {u"a\r\nb c", 1, {u"a\r\nb c"}, LineBreaking::kSingleLine},
        {u"", 10, {}, LineBreaking::kSingleLine}};
    for (const BreakCase& c : cases) {
        EXPECT_EQ(Lines(c.text, c.width, c.breaking), c.expected)
            << "text \"" << qf::WideToUtf8(c.text) << "\" width " << c.width;
    }
}

TEST(PlaceText, HorizontalAlignmentPerLine) {
    std::u16string text = u"ab\nabcd";
    std::vector<int> widths = {10, 10, 0, 10, 10, 10, 10};
    Rect rect{0, 0, 100, 50};
    auto xs = [&](UINT format) {
        std::vector<int> result;
        for (const auto& line : PlaceText(text, widths, rect, format, 12).lines) result.push_back(line.x);
        return result;
    };
    EXPECT_EQ(xs(DT_LEFT), (std::vector<int>{0, 0}));
    EXPECT_EQ(xs(DT_CENTER), (std::vector<int>{40, 30}));
    EXPECT_EQ(xs(DT_RIGHT), (std::vector<int>{80, 60}));
    auto placement = PlaceText(text, widths, rect, DT_CENTER, 12);
    EXPECT_EQ(placement.calc_rect, (Rect{0, 0, 40, 24}));
    EXPECT_EQ(placement.result, 24);
    EXPECT_EQ(placement.lines[1].y, 12);
}

// Bottoms that Windows answers for DT_CALCRECT | DT_SINGLELINE | DT_VCENTER in the rectangle
// (0, 0, 0, b) for b = -2 ... 6, with fonts whose lines are 12, 13 and 14 pixels high.
TEST(PlaceText, VerticallyCentredCalcRectMatchesWindows) {
    const struct {
        int line_height;
        int bottoms[9];
    } table[] = {{12, {5, 6, 6, 7, 7, 8, 8, 9, 9}},
                 {13, {6, 6, 7, 7, 8, 8, 9, 9, 10}},
                 {14, {6, 7, 7, 8, 8, 9, 9, 10, 10}}};
    std::u16string text = u"ABCabc123g";
    std::vector<int> widths(text.size(), 6);
    for (const auto& row : table) {
        for (int b = -2; b <= 6; ++b) {
            auto vcenter = PlaceText(text, widths, {0, 0, 0, b}, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER,
                                     row.line_height);
            EXPECT_EQ(vcenter.calc_rect.top, 0);
            EXPECT_EQ(vcenter.calc_rect.bottom, row.bottoms[b + 2]) << row.line_height << " " << b;
            EXPECT_EQ(vcenter.result, row.bottoms[b + 2]);
            auto top = PlaceText(text, widths, {0, 0, 0, b}, DT_CALCRECT | DT_SINGLELINE, row.line_height);
            EXPECT_EQ(top.calc_rect.bottom, row.line_height);
            // DT_VCENTER means nothing without DT_SINGLELINE.
            auto lines = PlaceText(u"ABCabc\n123g", std::vector<int>(11, 6), {0, 0, 0, b},
                                   DT_CALCRECT | DT_VCENTER, row.line_height);
            EXPECT_EQ(lines.result, 2 * row.line_height);
        }
    }
}

TEST(PlaceText, DrawnSingleLineAnswersDistanceToItsBottomAndEmptyTextHasNoWidth) {
    std::vector<int> widths(3, 5);
    // A 10-pixel line centred in (0, 1, 30, 15) starts at 3 and ends at 13.
    EXPECT_EQ(PlaceText(u"abc", widths, {0, 1, 30, 15}, DT_SINGLELINE | DT_VCENTER, 10).result, 12);
    EXPECT_EQ(PlaceText(u"abc", widths, {0, 1, 30, 15}, DT_SINGLELINE | DT_BOTTOM, 10).lines[0].y, 5);
    EXPECT_EQ(PlaceText(u"abc", widths, {0, 1, 30, 15}, DT_SINGLELINE, 10).result, 10);

    // Empty text has no width.
    auto multi = PlaceText(u"", {}, {5, 7, 50, 50}, DT_CALCRECT | DT_WORDBREAK, 13);
    EXPECT_EQ(multi.calc_rect, (Rect{5, 7, 5, 7}));
    EXPECT_EQ(multi.result, 13);
    auto single = PlaceText(u"", {}, {5, 7, 50, 50}, DT_CALCRECT | DT_SINGLELINE, 13);
    EXPECT_EQ(single.calc_rect, (Rect{5, 7, 5, 20}));
}

TEST(StripPrefixes, AmpersandsAsMenusShowThem) {
    EXPECT_EQ(StripPrefixes(u"&File"), u"File");
    EXPECT_EQ(StripPrefixes(u"Fish && Chips"), u"Fish & Chips");
    EXPECT_EQ(StripPrefixes(u"&&&x"), u"&x");
    EXPECT_EQ(StripPrefixes(u"end&"), u"end");
}

}  // namespace
}  // namespace qf::device::gdi
