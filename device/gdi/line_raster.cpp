#include "gdi/line_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qf::device::gdi {
namespace {

struct Point {
    std::int64_t x;
    std::int64_t y;
};

void Plot(Bitmap& bitmap, std::int64_t x, std::int64_t y, int pen_width, std::uint32_t pixel) {
    if (pen_width == 1) {
        if (x >= 0 && y >= 0 && x < bitmap.width() && y < bitmap.height()) {
            bitmap.Row(static_cast<int>(y))[x] = pixel;
        }
        return;
    }
    int half = (pen_width - 1) / 2;
    Rect square = Rect::Sized(static_cast<int>(x) - half, static_cast<int>(y) - half, pen_width, pen_width)
                      .Intersect(bitmap.bounds());
    for (int row = square.top; row < square.bottom; ++row) {
        std::fill(bitmap.Row(row) + square.left, bitmap.Row(row) + square.right, pixel);
    }
}

// Liang-Barsky: the part of the segment inside `box`, or false when it misses the box.
bool ClipToBox(Point& from, Point& to, const Rect& box) {
    double t0 = 0.0;
    double t1 = 1.0;
    double dx = static_cast<double>(to.x - from.x);
    double dy = static_cast<double>(to.y - from.y);
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {static_cast<double>(from.x - box.left), static_cast<double>(box.right - 1 - from.x),
                         static_cast<double>(from.y - box.top), static_cast<double>(box.bottom - 1 - from.y)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    Point start = from;
    from = {start.x + std::llround(t0 * dx), start.y + std::llround(t0 * dy)};
    to = {start.x + std::llround(t1 * dx), start.y + std::llround(t1 * dy)};
    return true;
}

}  // namespace

void DrawLine(Bitmap& bitmap, int x0, int y0, int x1, int y1, int pen_width, std::uint32_t pixel) {
    Point from{x0, y0};
    Point to{x1, y1};
    // A wide pen reaches into the bitmap from just outside it.
    Rect box = {-pen_width, -pen_width, bitmap.width() + pen_width, bitmap.height() + pen_width};
    bool ends_inside = to.x >= box.left && to.x < box.right && to.y >= box.top && to.y < box.bottom;
    if (!ClipToBox(from, to, box)) return;
    std::int64_t dx = std::llabs(to.x - from.x);
    std::int64_t dy = -std::llabs(to.y - from.y);
    std::int64_t step_x = from.x < to.x ? 1 : -1;
    std::int64_t step_y = from.y < to.y ? 1 : -1;
    std::int64_t error = dx + dy;
    while (from.x != to.x || from.y != to.y) {
        Plot(bitmap, from.x, from.y, pen_width, pixel);
        std::int64_t doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            from.x += step_x;
        }
        if (doubled <= dx) {
            error += dx;
            from.y += step_y;
        }
    }
    // The end point itself is left out, unless it was cut away and this is merely where the cut lies.
    if (!ends_inside) Plot(bitmap, to.x, to.y, pen_width, pixel);
}

}  // namespace qf::device::gdi
