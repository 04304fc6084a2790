// The tab host's alpha-blending library, written like an outside library: against the device's public
// GDI functions only.
#include <sbsh_alpha_blend.h>

#include <cstdint>

namespace {

// A memory DC with a bitmap selected for reading; both are released (not deleted) at the end.
class ReadingDc {
  public:
    explicit ReadingDc(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) {
        if (dc_ != nullptr && bitmap != nullptr) previous_ = SelectObject(dc_, bitmap);
    }
    ~ReadingDc() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    ReadingDc(const ReadingDc&) = delete;
    ReadingDc& operator=(const ReadingDc&) = delete;

    bool ok() const { return previous_ != nullptr; }
    COLORREF Pixel(int x, int y) const { return GetPixel(dc_, x, y); }

  private:
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

BYTE Mix(BYTE over, BYTE under, unsigned alpha) {
    return static_cast<BYTE>((over * alpha + under * (255 - alpha) + 127) / 255);
}

}  // namespace

QF_EXTERN_C BOOL fnAlphaBlend(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int bitmap_width,
                              int bitmap_height, HBITMAP mask) {
    if (width <= 0 || height <= 0 || bitmap_width <= 0 || bitmap_height <= 0) return FALSE;
    ReadingDc source(bitmap);
    ReadingDc weights(mask);
    if (!source.ok() || (mask != nullptr && !weights.ok()) || GetObjectType(dc) == 0) return FALSE;
    for (int row = 0; row < height; ++row) {
        int from_y = static_cast<int>(std::int64_t{row} * bitmap_height / height);
        for (int column = 0; column < width; ++column) {
            int from_x = static_cast<int>(std::int64_t{column} * bitmap_width / width);
            COLORREF over = source.Pixel(from_x, from_y);
            COLORREF under = GetPixel(dc, x + column, y + row);
            COLORREF weight = mask != nullptr ? weights.Pixel(from_x, from_y) : RGB(255, 255, 255);
            // Outside either picture nothing is drawn.
            if (over == CLR_INVALID || under == CLR_INVALID || weight == CLR_INVALID) continue;
            unsigned alpha = GetRValue(weight);
            SetPixel(dc, x + column, y + row,
                     RGB(Mix(GetRValue(over), GetRValue(under), alpha),
                         Mix(GetGValue(over), GetGValue(under), alpha),
                         Mix(GetBValue(over), GetBValue(under), alpha)));
        }
    }
    return TRUE;
}
