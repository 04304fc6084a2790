// Integer rectangles with half-open edges ([left, right) x [top, bottom)), as GDI uses them.
#pragma once

#include <algorithm>

#include "win/geometry.h"

namespace qf::device::gdi {

// Coordinates are cut to 28 bits on the way in, as Win32 cuts them to 27, so that sums of a
// coordinate and a size never overflow.
inline constexpr int kMaxCoordinate = 1 << 27;
constexpr int ClampCoordinate(long long v) {
    return static_cast<int>(std::clamp<long long>(v, -kMaxCoordinate, kMaxCoordinate));
}

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Rect FromWin(const RECT& r) {
        return {ClampCoordinate(r.left), ClampCoordinate(r.top), ClampCoordinate(r.right),
                ClampCoordinate(r.bottom)};
    }
    static Rect Sized(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(const Rect& other) const {
        return other.left >= left && other.top >= top && other.right <= right && other.bottom <= bottom;
    }
    // The common part; empty (IsEmpty) when they do not overlap.
    Rect Intersect(const Rect& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    // The smallest rectangle holding both; an empty rectangle adds nothing.
    Rect Union(const Rect& other) const {
        if (IsEmpty()) return other;
        if (other.IsEmpty()) return *this;
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }
    Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const Rect&) const = default;
};

}  // namespace qf::device::gdi
