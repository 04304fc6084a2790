// The layout decisions of the ticker, the list and the control strip, each tested whole: the scroll bar's
// thumb, the page of rows, the "..." cut and the strip's field and pieces.
#include <gtest/gtest.h>

#include "display/control_strip_paint.h"
#include "display/list_paint.h"
#include "display/paint_canvas.h"
#include "display/scroll_bar.h"

namespace qf::display {
namespace {

TEST(ScrollBar, ThumbForShortAndLongSteps) {
    struct Row {
        const char* what;
        int height, scale, steps, position;
        int top, bottom;
        size_t middles;
    };
    const Row rows[] = {
        // unit (75 - 24) / 2 = 25: a long thumb of 6 middle pieces, the last ones held above the arrow.
        {"two pages, first", 75, 1, 2, 0, 12, 44, 6},
        {"two pages, second", 75, 1, 2, 1, 37, 63, 6},
        // unit 51 / 10 = 5: short thumb, centred for position 0.
        {"ten pages, first", 75, 1, 10, 0, 12, 20, 0},
        {"ten pages, sixth", 75, 1, 10, 5, 37, 45, 0},
        {"ten pages, last: kept above the arrow", 75, 1, 10, 9, 55, 63, 0},
        {"three pages at scale 2", 150, 2, 3, 1, 58, 106, 4}};
    for (const Row& row : rows) {
        ThumbLayout thumb = LayOutThumb(row.height, row.scale, row.steps, row.position);
        EXPECT_EQ(std::tuple(thumb.top, thumb.bottom, thumb.middle_ys.size()),
                  std::tuple(row.top, row.bottom, row.middles))
            << row.what;
        for (int y : thumb.middle_ys) EXPECT_LE(y, row.height - 16 * row.scale) << row.what;
        EXPECT_LE(thumb.scroller_bottom_y, row.height - 16 * row.scale) << row.what;
    }
}

TEST(ListPage, PageHoldsTheSelection) {
    struct Row {
        const char* what;
        int pitch, count, selected, first;
        ListPage expected;
    };
    const Row rows[] = {
        {"first page", 14, 12, 0, 0, {0, 4, 5}},
        {"selection on the second page", 14, 12, 7, 0, {5, 9, 5}},
        {"last page is short", 14, 12, 11, 0, {10, 11, 5}},
        {"no selection: first rounded down", 14, 12, -1, 7, {5, 9, 5}},
        {"fewer rows than a page", 14, 3, 0, 0, {0, 2, 5}},
        {"a row taller than the window still gives a page of one", 100, 3, 2, 0, {2, 2, 1}},
        {"no rows", 14, 0, 0, 0, {0, -1, 5}},
    };
    for (const Row& row : rows) {
        ListPage page = LayOutListPage(75, 1, row.pitch, row.count, row.selected, row.first);
        EXPECT_EQ(std::tuple(page.first, page.last, page.rows_per_page),
                  std::tuple(row.expected.first, row.expected.last, row.expected.rows_per_page))
            << row.what;
    }
}

TEST(Ellipsis, LongestFittingPrefixTrimmedAndCut) {
    auto fits_chars = [](size_t n) { return [n](std::u16string_view t) { return t.size() <= n; }; };
    EXPECT_EQ(EllipsizedText(u"short", fits_chars(10)), u"short");
    EXPECT_EQ(EllipsizedText(u"hello world again", fits_chars(12)), u"hello wo...");
    EXPECT_EQ(EllipsizedText(u"hello      world", fits_chars(10)), u"he...") << "trailing blanks go first";
    EXPECT_EQ(EllipsizedText(u"abcdef", fits_chars(2)), u"...");
    std::u16string long_text(450, u'x');
    EXPECT_EQ(EllipsizedText(long_text, fits_chars(333)), std::u16string(330, u'x') + u"...");
    int calls = 0;
    EllipsizedText(long_text, [&](std::u16string_view t) {
        ++calls;
        return t.size() <= 333;
    });
    EXPECT_LT(calls, 20) << "no measuring one character at a time";
}

TEST(ControlStripLayout, FieldAndPiecesTable) {
    struct Case {
        int width, scale, piece;
        int left, right, right_x;
        std::vector<int> middles;
    };
    const Case cases[] = {
        // 100 wide: the field ends 10 before the edge.
        {100, 1, 8, 40, 90, 82, {48, 56, 64, 72}},
        {100, 1, 5, 40, 90, 85, {45, 50, 55, 60, 65, 70, 75, 80}},
        // 300 wide: the field still ends at 120; no middle piece starts right of right - 16.
        {300, 1, 8, 40, 120, 112, {48, 56, 64, 72, 80, 88, 96, 104}},
        // Doubled: every constant twice.
        {600, 2, 16, 80, 240, 224, {96, 112, 128, 144, 160, 176, 192, 208}},
        // Too narrow for any middle piece.
        {60, 1, 8, 40, 50, 42, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " wide, scale " << c.scale << ", piece " << c.piece);
        StripField field = LayOutStripField(c.width, c.scale);
        StripPieces pieces = LayOutStripPieces(field, c.piece);
        EXPECT_EQ(std::tuple(field.left, field.right, pieces.left_x, pieces.right_x, pieces.middle_xs),
                  std::tuple(c.left, c.right, c.left, c.right_x, c.middles));
    }
}

}  // namespace
}  // namespace qf::display
