#include <gtest/gtest.h>

#include <vector>

#include "gdi_fixture.h"
#include "qfdevice/window_surface.h"
#include "windows.h"

namespace qf::test {
namespace {

// Paints a w x h canvas so that every pixel has its own colour: red = x * 10, green = y * 10.
void PaintGradient(Canvas& canvas) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) SetPixel(canvas.dc(), x, y, RGB(x * 10, y * 10, 7));
}

COLORREF Gradient(int x, int y) { return RGB(x * 10, y * 10, 7); }
constexpr COLORREF kWhite = RGB(255, 255, 255);

TEST(BitBlt, CopiesClipsOverlapsAndFills) {
    GdiDevice device;
    Canvas src(8, 8);
    PaintGradient(src);
    Canvas dst(10, 10);
    // The source area reaches 2 pixels past the source's right edge and the destination's bottom.
    ASSERT_TRUE(BitBlt(dst.dc(), 3, 6, 7, 6, src.dc(), 3, 1, SRCCOPY));
    // Source column 8 does not exist.
    EXPECT_EQ(Pixels(dst.dc(), {{3, 6}, {7, 9}, {8, 6}, {2, 6}, {3, 5}}),
              (std::vector{Gradient(3, 1), Gradient(7, 4), kWhite, kWhite, kWhite}));

    // Overlapping areas in one bitmap.
    ASSERT_TRUE(BitBlt(src.dc(), 1, 1, 7, 7, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(Pixels(src.dc(), {{7, 7}, {1, 1}}), (std::vector{Gradient(6, 6), Gradient(0, 0)}));
    ASSERT_TRUE(BitBlt(src.dc(), 0, 0, 7, 7, src.dc(), 1, 1, SRCCOPY));
    EXPECT_EQ(Pixels(src.dc(), {{0, 0}, {6, 6}}), (std::vector{Gradient(0, 0), Gradient(6, 6)}));

    // Fill codes, and codes the device does not know.
    SelectObject(src.dc(), GetStockObject(GRAY_BRUSH));
    for (auto [code, colour] : {std::pair(BLACKNESS, RGB(0, 0, 0)), std::pair(PATCOPY, RGB(128, 128, 128)),
                                std::pair(WHITENESS, kWhite)}) {
        ASSERT_TRUE(BitBlt(src.dc(), 0, 0, 2, 2, nullptr, 0, 0, code));
        EXPECT_EQ(Pixels(src.dc(), {{0, 0}, {1, 1}}), std::vector(2, colour)) << code;
    }
    EXPECT_FALSE(BitBlt(src.dc(), 0, 0, 2, 2, src.dc(), 0, 0, 0x00EE0086 /* SRCPAINT */));
    EXPECT_FALSE(BitBlt(src.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
}

TEST(StretchBlt, ScalesByNearestPixelAndMirrors) {
    GdiDevice device;
    Canvas src(4, 4);
    PaintGradient(src);
    Canvas dst(8, 8);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 8, 8, src.dc(), 0, 0, 4, 4, SRCCOPY));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(GetPixel(dst.dc(), x, y), Gradient(x / 2, y / 2)) << x << "," << y;
    }
    Canvas half(2, 2);
    ASSERT_TRUE(StretchBlt(half.dc(), 0, 0, 2, 2, src.dc(), 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(GetPixel(half.dc(), 1, 1), Gradient(3, 3));
    // A negative destination width mirrors left to right.
    ASSERT_TRUE(StretchBlt(dst.dc(), 3, 0, -4, 4, src.dc(), 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(Pixels(dst.dc(), {{0, 2}, {3, 2}}), (std::vector{Gradient(3, 2), Gradient(0, 2)}));
}

TEST(TransparentImage, SkipsTheTransparentColourFromDcOrBitmap) {
    GdiDevice device;
    Canvas icon(2, 2);
    for (int i = 0; i < 4; ++i)
        SetPixel(icon.dc(), i % 2, i / 2, i == 0 || i == 3 ? RGB(255, 0, 0) : RGB(0, 0, 200));
    Canvas screen(6, 6);
    HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
    RECT all{0, 0, 6, 6};
    FillRect(screen.dc(), &all, green);
    ASSERT_TRUE(TransparentImage(screen.dc(), 0, 0, 2, 2, icon.dc(), 0, 0, 2, 2, RGB(255, 0, 0)));
    EXPECT_EQ(Pixels(screen.dc(), {{0, 0}, {1, 0}}), (std::vector{RGB(0, 128, 0), RGB(0, 0, 200)}));

    // From a bitmap handle, stretched twice as a low-resolution skin is on a high-resolution screen.
    HBITMAP bitmap = CreateCompatibleBitmap(screen.dc(), 2, 2);
    HDC loader = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(loader, bitmap);
    BitBlt(loader, 0, 0, 2, 2, icon.dc(), 0, 0, SRCCOPY);
    SelectObject(loader, old);
    DeleteDC(loader);
    ASSERT_TRUE(TransparentImage(screen.dc(), 2, 2, 4, 4, bitmap, 0, 0, 2, 2, RGB(255, 0, 0)));
    EXPECT_EQ(Pixels(screen.dc(), {{3, 3}, {5, 3}, {2, 5}}),
              (std::vector{RGB(0, 128, 0), RGB(0, 0, 200), RGB(0, 0, 200)}));
    EXPECT_FALSE(TransparentImage(screen.dc(), 0, 0, 2, 2, green, 0, 0, 2, 2, 0));
    DeleteObject(bitmap);
    DeleteObject(green);
}

// Texts drawn off-screen travel with their pixels to the window, as the item paints.
class TextRecordsTest : public ::testing::Test {
  protected:
    TextRecordsTest() {
        qf::device::SetWindowSurfaceSize(kWindow, 240, 75);
        window_dc_ = qf::device::AcquireWindowSurfaceDC(kWindow);
        offscreen_.UseFont(-11, FW_BOLD);
        SetTextColor(offscreen_.dc(), RGB(10, 20, 30));
    }
    ~TextRecordsTest() override {
        qf::device::ReleaseWindowSurfaceDC(window_dc_);
        qf::device::DestroyWindowSurface(kWindow);
    }
    void DrawOffscreen(const char16_t* text, RECT rect) {
        DrawTextW(offscreen_.dc(), text, -1, &rect, DT_SINGLELINE | DT_NOPREFIX);
    }

    static inline const HWND kWindow = reinterpret_cast<HWND>(0x5150);
    GdiDevice device_;
    Canvas offscreen_{240, 75};
    HDC window_dc_ = nullptr;
};

TEST_F(TextRecordsTest, BitBltCarriesTranslatedAndClippedRecords) {
    DrawOffscreen(u"Headline", {20, 2, 200, 20});
    ASSERT_TRUE(qf::device::WindowTexts(kWindow).empty());
    ASSERT_TRUE(BitBlt(window_dc_, 0, 10, 240, 75, offscreen_.dc(), 0, 0, SRCCOPY));
    auto texts = qf::device::WindowTexts(kWindow);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(std::tuple(texts[0].text, texts[0].left, texts[0].top, texts[0].bottom, texts[0].font_height,
                         texts[0].font_weight, texts[0].color),
              std::tuple(std::u16string(u"Headline"), 20, 12, 25, -11, FW_BOLD, RGB(10, 20, 30)));
    EXPECT_GT(texts[0].right, 40);

    // A blit of part of the text carries that part; one that misses it carries nothing.
    qf::device::BeginWindowFrame(kWindow);
    ASSERT_TRUE(BitBlt(window_dc_, 100, 0, 10, 10, offscreen_.dc(), 25, 5, SRCCOPY));
    texts = qf::device::WindowTexts(kWindow);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ((std::vector<LONG>{texts[0].left, texts[0].top, texts[0].right, texts[0].bottom}),
              (std::vector<LONG>{100, 0, 110, 10}));
    qf::device::BeginWindowFrame(kWindow);
    ASSERT_TRUE(BitBlt(window_dc_, 0, 0, 10, 10, offscreen_.dc(), 0, 40, SRCCOPY));
    EXPECT_TRUE(qf::device::WindowTexts(kWindow).empty());
}

TEST_F(TextRecordsTest, StretchBltScalesAndCoveringForgets) {
    DrawOffscreen(u"Scaled", {10, 10, 60, 30});
    ASSERT_TRUE(StretchBlt(window_dc_, 0, 0, 240, 150, offscreen_.dc(), 0, 0, 120, 75, SRCCOPY));
    auto texts = qf::device::WindowTexts(kWindow);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(std::tuple(texts[0].left, texts[0].top, texts[0].bottom), std::tuple(20, 20, 46));

    // Drawn over by the next frame's background, the text is gone even without BeginWindowFrame.
    RECT all{0, 0, 240, 75};
    FillRect(window_dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(qf::device::WindowTexts(kWindow).empty());
    // A transparent blit lays the source's texts over what is there.
    DrawOffscreen(u"Over", {0, 0, 60, 20});
    RECT direct{100, 50, 200, 70};
    DrawTextW(window_dc_, u"Under", -1, &direct, DT_SINGLELINE);
    ASSERT_TRUE(
        TransparentImage(window_dc_, 0, 0, 240, 75, offscreen_.dc(), 0, 0, 240, 75, RGB(255, 255, 255)));
    texts = qf::device::WindowTexts(kWindow);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, u"Under");
}

}  // namespace
}  // namespace qf::test
