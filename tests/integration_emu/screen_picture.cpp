#include "integration_emu/screen_picture.h"

#include "qfdevice/gdi_io.h"

namespace qf::test {
namespace {

constexpr COLORREF kSkinRed = RGB(255, 0, 0);

}  // namespace

Picture::Picture(const std::u16string& device_path) {
    device::LoadedImage image = device::LoadImageFile(device_path);
    if (image.bitmap == nullptr) return;
    bitmap_ = image.bitmap;
    width_ = image.width;
    height_ = image.height;
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
}

Picture::~Picture() {
    if (dc_ != nullptr) {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

int ArtMismatches(const Picture& screen, const Picture& art, int left, int top) {
    if (!screen.ok() || !art.ok() || left + art.width() > screen.width() ||
        top + art.height() > screen.height())
        return -1;
    int mismatches = 0;
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            COLORREF pixel = art.At(x, y);
            if (pixel != kSkinRed && screen.At(left + x, top + y) != pixel) ++mismatches;
        }
    }
    return mismatches;
}

int DarkPixels(const std::u16string& device_png, RECT area) {
    Picture picture(device_png);
    if (!picture.ok()) return -1;
    int dark = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            COLORREF c = picture.At(x, y);
            dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 240 ? 1 : 0;
        }
    }
    return dark;
}

}  // namespace qf::test
