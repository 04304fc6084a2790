#include "gdi_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace qf::test {
namespace {

constexpr const char* kWineFonts = "/usr/share/wine/fonts";

}  // namespace

GdiDevice::GdiDevice(DeviceFonts fonts, const std::string& profile) {
    std::filesystem::create_directories(device_.HostPath("Windows"));
    if (fonts == DeviceFonts::kTahoma) {
        for (const char* name : {"tahoma.ttf", "tahomabd.ttf"}) {
            std::filesystem::copy_file(std::filesystem::path(kWineFonts) / name,
                                       device_.HostPath(std::string("Windows/") + name));
        }
    }
    qf::device::OverrideProfile(qf::device::NamedProfile(profile));
}

GdiDevice::~GdiDevice() { qf::device::OverrideProfile(std::nullopt); }

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      dc_(CreateCompatibleDC(nullptr)),
      bitmap_(CreateCompatibleBitmap(dc_, width, height)),
      old_bitmap_(SelectObject(dc_, bitmap_)) {}

Canvas::~Canvas() {
    SelectObject(dc_, old_bitmap_);
    if (font_ != nullptr) SelectObject(dc_, old_font_);
    DeleteObject(bitmap_);
    if (font_ != nullptr) DeleteObject(font_);
    DeleteDC(dc_);
}

void Canvas::UseFont(LONG height, LONG weight, const char16_t* face) {
    HFONT font = CreateTestFont(height, weight, face);
    HGDIOBJ previous = SelectObject(dc_, font);
    if (font_ == nullptr) {
        old_font_ = previous;
    } else {
        DeleteObject(font_);
    }
    font_ = font;
}

RECT Canvas::InkBounds() const {
    RECT bounds{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            if (GetPixel(dc_, x, y) == RGB(255, 255, 255)) continue;
            bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                      std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
        }
    }
    return bounds.right == 0 ? RECT{0, 0, 0, 0} : bounds;
}

std::vector<COLORREF> Pixels(HDC dc, std::initializer_list<POINT> at) {
    std::vector<COLORREF> colours;
    for (POINT p : at) colours.push_back(GetPixel(dc, p.x, p.y));
    return colours;
}

HFONT CreateTestFont(LONG height, LONG weight, const char16_t* face) {
    LOGFONTW logfont{};
    logfont.lfHeight = height;
    logfont.lfWeight = weight;
    std::u16string_view name(face);
    std::copy(name.begin(), name.end(), logfont.lfFaceName);
    return CreateFontIndirectW(&logfont);
}

}  // namespace qf::test
