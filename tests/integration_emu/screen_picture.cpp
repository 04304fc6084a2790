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

int RedPixels(const Picture& picture, int left, int top, int width, int height) {
    int red = 0;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) red += picture.At(x, y) == kSkinRed ? 1 : 0;
    }
    return red;
}

}  // namespace qf::test
