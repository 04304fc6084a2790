#include <gtest/gtest.h>

#include "windows.h"

namespace {

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST(Rect, PointsOnTheRightAndBottomEdgesAreOutside) {
    RECT r{10, 20, 30, 40};
    struct Case {
        POINT point;
        BOOL inside;
    } cases[] = {
        {{10, 20}, TRUE}, {{29, 39}, TRUE}, {{30, 20}, FALSE}, {{10, 40}, FALSE}, {{9, 25}, FALSE},
    };
    for (const Case& c : cases) EXPECT_EQ(PtInRect(&r, c.point), c.inside) << c.point.x << "," << c.point.y;
}

TEST(Rect, IntersectAndUnionFollowTheDeviceRules) {
    struct Case {
        RECT a, b;
        BOOL intersects;
        RECT intersection;
        RECT union_rect;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, TRUE, {5, 5, 10, 10}, {0, 0, 15, 15}},
        // Touching edges do not overlap.
        {{0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {0, 0, 0, 0}, {0, 0, 20, 10}},
        // An empty rectangle takes no part in a union.
        {{0, 0, 0, 0}, {5, 5, 15, 15}, FALSE, {0, 0, 0, 0}, {5, 5, 15, 15}},
        {{20, 20, 10, 30}, {0, 0, 5, 5}, FALSE, {0, 0, 0, 0}, {0, 0, 5, 5}},
    };
    for (const Case& c : cases) {
        RECT out{1, 1, 1, 1};
        EXPECT_EQ(IntersectRect(&out, &c.a, &c.b), c.intersects);
        EXPECT_TRUE(Same(out, c.intersection));
        EXPECT_TRUE(UnionRect(&out, &c.a, &c.b) && Same(out, c.union_rect));
    }
    RECT empty{3, 3, 3, 9}, out;
    EXPECT_TRUE(!UnionRect(&out, &empty, &empty) && IsRectEmpty(&out));
}

}  // namespace
