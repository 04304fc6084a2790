#include "gdi/bitmap.h"

#include <algorithm>

namespace qf::device::gdi {

Bitmap::Bitmap(int width, int height, RowOrder order, BitmapKind kind, Lifetime lifetime)
    : GdiObject(kKind, lifetime),
      width_(width),
      height_(height),
      order_(order),
      bitmap_kind_(kind),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kWhitePixel) {}

bool Bitmap::IsValidSize(int width, int height) {
    return width >= 0 && height >= 0 && static_cast<std::int64_t>(width) * height <= kMaxPixels;
}

SurfacePixels Bitmap::ReadPixels() const {
    SurfacePixels copy{width_, height_, {}};
    copy.pixels.reserve(pixels_.size());
    for (int y = 0; y < height_; ++y) copy.pixels.insert(copy.pixels.end(), Row(y), Row(y) + width_);
    return copy;
}

void Bitmap::Fill(const Rect& area, std::uint32_t pixel) {
    Rect r = area.Intersect(bounds());
    if (r.IsEmpty()) return;
    for (int y = r.top; y < r.bottom; ++y) std::fill(Row(y) + r.left, Row(y) + r.right, pixel);
    texts_.Cover(r);
}

void Bitmap::Resize(int width, int height) {
    std::vector<std::uint32_t> resized(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                       kWhitePixel);
    int keep_width = std::min(width, width_);
    int keep_height = std::min(height, height_);
    // Resized bitmaps are stored top-down whatever they were before.
    for (int y = 0; y < keep_height; ++y) {
        std::copy_n(Row(y), keep_width, resized.data() + static_cast<std::size_t>(y) * width);
    }
    pixels_ = std::move(resized);
    width_ = width;
    height_ = height;
    order_ = RowOrder::kTopDown;
    texts_.ClipTo(bounds());
}

}  // namespace qf::device::gdi
