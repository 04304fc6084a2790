#include "qfdevice/window_surface.h"

#include <gtest/gtest.h>

#include "gdi_fixture.h"
#include "windows.h"

namespace qf::test {
namespace {

using qf::device::AcquireWindowSurfaceDC;
using qf::device::ReadWindowSurface;
using qf::device::ReleaseWindowSurfaceDC;
using qf::device::SetWindowSurfaceSize;

const HWND kWindow = reinterpret_cast<HWND>(0x7001);

std::uint32_t PixelAt(const qf::device::SurfacePixels& surface, int x, int y) {
    return surface.pixels[static_cast<std::size_t>(y) * surface.width + x];
}

TEST(WindowSurface, ResizeKeepsTheOverlapAndWindowDcsBelongToTheWindowManager) {
    GdiDevice device;
    SetWindowSurfaceSize(kWindow, 4, 4);
    HDC dc = AcquireWindowSurfaceDC(kWindow);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 4, 4};
    FillRect(dc, &all, red);
    SetWindowSurfaceSize(kWindow, 6, 2);
    auto surface = ReadWindowSurface(kWindow);
    ASSERT_EQ(std::pair(surface.width, surface.height), std::pair(6, 2));
    EXPECT_EQ(std::pair(PixelAt(surface, 3, 1), PixelAt(surface, 4, 1)), std::pair(0xFF0000u, 0xFFFFFFu));
    // The DC follows the surface's new size.
    EXPECT_EQ(Pixels(dc, {{5, 1}, {5, 2}}), (std::vector{RGB(255, 255, 255), CLR_INVALID}));
    ReleaseWindowSurfaceDC(dc);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    SetWindowSurfaceSize(kWindow, 0, -3);
    EXPECT_EQ(ReadWindowSurface(kWindow).width, 0);
    qf::device::DestroyWindowSurface(kWindow);
    DeleteObject(red);

    // Window DCs belong to the window manager.
    EXPECT_EQ(AcquireWindowSurfaceDC(kWindow), nullptr);
    SetWindowSurfaceSize(kWindow, 8, 8);
    dc = AcquireWindowSurfaceDC(kWindow);
    Canvas canvas(2, 2);
    EXPECT_EQ(SelectObject(dc, canvas.bitmap()), nullptr);
    EXPECT_FALSE(DeleteDC(dc));
    ReleaseWindowSurfaceDC(canvas.dc());  // not a window DC: ignored
    EXPECT_EQ(GetObjectType(canvas.dc()), static_cast<DWORD>(OBJ_MEMDC));
    // The surface goes while a DC still draws into it: drawing stays safe until the DC is released.
    qf::device::DestroyWindowSurface(kWindow);
    EXPECT_TRUE(ReadWindowSurface(kWindow).pixels.empty());
    RECT rect{0, 0, 8, 8};
    EXPECT_TRUE(FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    ReleaseWindowSurfaceDC(dc);
    EXPECT_TRUE(qf::device::WindowTexts(kWindow).empty());
}

TEST(WindowSurface, FramesStartWithoutTexts) {
    GdiDevice device;
    SetWindowSurfaceSize(kWindow, 240, 75);
    HDC dc = AcquireWindowSurfaceDC(kWindow);
    RECT rect{20, 2, 230, 75};
    DrawTextW(dc, u"First frame", -1, &rect, DT_WORDBREAK);
    DrawTextW(dc, u"Second text", -1, &rect, DT_WORDBREAK | DT_CALCRECT);  // measuring draws nothing
    auto texts = qf::device::WindowTexts(kWindow);
    ASSERT_EQ(texts.size(), 1u);
    // The stock font at 96 dpi.
    EXPECT_EQ(std::tuple(texts[0].text, texts[0].font_height, texts[0].font_weight),
              std::tuple(u"First frame", -12, FW_NORMAL));
    // A resize that cuts the text clips its rectangle.
    SetWindowSurfaceSize(kWindow, 30, 75);
    texts = qf::device::WindowTexts(kWindow);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].right, 30);
    qf::device::BeginWindowFrame(kWindow);
    EXPECT_TRUE(qf::device::WindowTexts(kWindow).empty());
    ReleaseWindowSurfaceDC(dc);
    qf::device::DestroyWindowSurface(kWindow);
}

}  // namespace
}  // namespace qf::test
