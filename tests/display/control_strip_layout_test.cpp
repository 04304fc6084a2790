// Where the control strip puts its view field and the field's pieces, by strip width, scale factor and
// piece width (the skin's 8-pixel pieces or the plug-in's own 5-pixel ones).
#include <gtest/gtest.h>

#include "display/control_strip_paint.h"

namespace qf::display {
namespace {

TEST(ControlStripLayout, FieldAndPiecesTable) {
    struct Case {
        int width;
        int scale;
        int piece;
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
        EXPECT_EQ(field.left, c.left);
        EXPECT_EQ(field.right, c.right);
        StripPieces pieces = LayOutStripPieces(field, c.piece);
        EXPECT_EQ(pieces.left_x, c.left);
        EXPECT_EQ(pieces.right_x, c.right_x);
        EXPECT_EQ(pieces.middle_xs, c.middles);
    }
}

}  // namespace
}  // namespace qf::display
