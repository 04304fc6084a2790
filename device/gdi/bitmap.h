// A 32-bit bitmap: the pixels every DC draws into, and the texts drawn there.
#pragma once

#include <cstdint>
#include <vector>

#include "gdi/colors.h"
#include "gdi/gdi_object.h"
#include "gdi/rect.h"
#include "gdi/text_records.h"
#include "win/types.h"

namespace qf::device::gdi {

// Memory order of the rows: DIB sections with a positive height are stored bottom row first.
enum class RowOrder { kTopDown, kBottomUp };
// DIB sections expose their pixels to the caller (CreateDIBSection's bits pointer).
enum class BitmapKind { kCompatible, kDibSection };

class Bitmap : public GdiObject {
  public:
    static constexpr ObjectKind kKind = ObjectKind::kBitmap;
    // Larger bitmaps are refused: the device has nothing near this much memory.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

    // A white bitmap. The size must be valid (IsValidSize).
    Bitmap(int width, int height, RowOrder order, BitmapKind kind, Lifetime lifetime = Lifetime::kOwned);

    static bool IsValidSize(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }
    RowOrder order() const { return order_; }
    BitmapKind bitmap_kind() const { return bitmap_kind_; }
    // The pixels as stored (row order as above); valid until Resize or destruction.
    void* bits() { return pixels_.data(); }

    // Row y from the top, width() pixels.
    std::uint32_t* Row(int y) { return pixels_.data() + RowIndex(y) * width_; }
    const std::uint32_t* Row(int y) const { return pixels_.data() + RowIndex(y) * width_; }

    // A copy of the pixels, top row first.
    SurfacePixels ReadPixels() const;

    // Fills `area` clipped to the bitmap; forgets the texts it covers.
    void Fill(const Rect& area, std::uint32_t pixel);
    // Changes the size, keeping the pixels and texts where old and new overlap; new area is white.
    void Resize(int width, int height);

    TextRecords& texts() { return texts_; }
    const TextRecords& texts() const { return texts_; }

    // The memory DC the bitmap is selected into, or null.
    HDC selected_into() const { return selected_into_; }
    void set_selected_into(HDC dc) { selected_into_ = dc; }

  private:
    std::int64_t RowIndex(int y) const { return order_ == RowOrder::kTopDown ? y : height_ - 1 - y; }

    int width_;
    int height_;
    RowOrder order_;
    BitmapKind bitmap_kind_;
    std::vector<std::uint32_t> pixels_;
    TextRecords texts_;
    HDC selected_into_ = nullptr;
};

}  // namespace qf::device::gdi
