#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <limits>
#include <thread>
#include <vector>

#include "gdi_fixture.h"
#include "support/watchdog.h"
#include "windows.h"

namespace qf::test {
namespace {

TEST(GdiHandles, BadHandlesFailWithoutCrashing) {
    GdiDevice device;
    HDC stale = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(DeleteDC(stale));
    HFONT font = CreateTestFont(-11);
    for (HDC dc : {HDC{}, stale, reinterpret_cast<HDC>(0x1234), reinterpret_cast<HDC>(font)}) {
        RECT rect{0, 0, 10, 10};
        SIZE size{};
        TEXTMETRICW metrics{};
        SetLastError(0);
        EXPECT_EQ(DrawTextW(dc, u"x", -1, &rect, 0), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(GetTextExtentPoint32W(dc, u"x", 1, &size));
        EXPECT_FALSE(GetTextMetricsW(dc, &metrics));
        EXPECT_FALSE(ExtTextOutW(dc, 0, 0, 0, nullptr, u"x", 1, nullptr));
        EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), nullptr);
        EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
        EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
        EXPECT_EQ(FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
        EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
        EXPECT_FALSE(LineTo(dc, 1, 1));
        EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
        EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 0);
        EXPECT_EQ(CreateCompatibleBitmap(dc, 2, 2), nullptr);
        EXPECT_FALSE(DeleteDC(dc));
    }
    Canvas canvas(4, 4);
    EXPECT_TRUE(SelectObject(canvas.dc(), stale) == nullptr &&
                SelectObject(canvas.dc(), canvas.dc()) == nullptr);
    EXPECT_FALSE(DeleteObject(stale) || DeleteObject(canvas.dc()));
    EXPECT_EQ(GetObjectW(stale, 0, nullptr), 0);
    EXPECT_EQ((std::pair{DeleteObject(font), DeleteObject(font)}), std::pair(TRUE, FALSE));
    EXPECT_EQ(SelectObject(canvas.dc(), font), nullptr);
    EXPECT_EQ(DrawTextW(canvas.dc(), nullptr, -1, nullptr, 0), 0);
}

TEST(GdiHandles, SelectedObjectsStayUntilDeselected) {
    GdiDevice device;
    HDC first = CreateCompatibleDC(nullptr), second = CreateCompatibleDC(first);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 3, 3);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HGDIOBJ default_bitmap = SelectObject(first, bitmap);
    ASSERT_NE(default_bitmap, nullptr);
    HGDIOBJ default_brush = SelectObject(first, brush);
    EXPECT_EQ(default_brush, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(first, OBJ_BITMAP), bitmap);
    // A bitmap lives in one DC at a time; selected objects cannot be deleted.
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap) || DeleteObject(brush));
    EXPECT_EQ(SelectObject(first, default_bitmap), bitmap);
    EXPECT_EQ(SelectObject(second, bitmap), default_bitmap);
    // Deleting the DC sets its bitmap free.
    EXPECT_TRUE(DeleteDC(second) && DeleteObject(bitmap) && DeleteDC(first) && DeleteObject(brush));
    // Stock objects survive DeleteObject.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
}

// A system colour index plus one is a brush.
TEST(GetSysColor, IndexPlusOneFillsWithTheSystemColour) {
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT | SYS_COLOR_INDEX_FLAG), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetSysColor(200), 0u);
    GdiDevice device;
    Canvas canvas(2, 2);
    RECT rect{0, 0, 2, 2};
    ASSERT_TRUE(FillRect(canvas.dc(), &rect, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1)));
    EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), RGB(0, 0, 128));
}

// Lines stop short of their end point; wild coordinates cost only the part inside the bitmap.
TEST(Shapes, LinesStopShortOfTheirEnd) {
    GdiDevice device;
    Canvas canvas(10, 10);
    HDC dc = canvas.dc();
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(dc, red);
    POINT previous{};
    MoveToEx(dc, 0, 8, nullptr);
    ASSERT_TRUE(LineTo(dc, 9, 8));
    EXPECT_EQ(Pixels(dc, {{8, 8}, {9, 8}}), (std::vector{RGB(255, 0, 0), RGB(255, 255, 255)}));
    MoveToEx(dc, 3, 3, &previous);
    EXPECT_EQ(previous.x, 9);
    MoveToEx(dc, -2000000000, 9, nullptr);
    EXPECT_TRUE(LineTo(dc, 2000000000, 9));
    EXPECT_EQ(Pixels(dc, {{0, 9}, {9, 9}}), std::vector(2, RGB(255, 0, 0)));
    SelectObject(dc, old);
    DeleteObject(red);
}

TEST(GdiCoordinates, ExtremeValuesDrawNothingAndNeverOverflow) {
    GdiDevice device;
    Canvas canvas(8, 8);
    HDC dc = canvas.dc();
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_TRUE(BitBlt(dc, kMax, kMax, kMax, kMax, dc, kMin, kMin, SRCCOPY));
    EXPECT_TRUE(StretchBlt(dc, kMin, 0, kMin, kMax, dc, kMax, 0, kMin, 1, SRCCOPY));
    EXPECT_TRUE(BitBlt(dc, kMax, kMin, kMin, kMax, nullptr, 0, 0, BLACKNESS));
    RECT huge{kMin, kMin, kMax, kMax};
    EXPECT_GT(DrawTextW(dc, u"x y z", -1, &huge, DT_WORDBREAK | DT_CENTER), 0);
    const int dx[] = {kMax, kMax, kMin};
    EXPECT_TRUE(ExtTextOutW(dc, kMax, kMin, 0, nullptr, u"abc", 3, dx));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(Rectangle(dc, kMin, kMin, kMax, kMax));
    EXPECT_EQ(GetPixel(dc, 4, 4), RGB(0, 0, 0));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
}

TEST(GdiThreads, ThreadsDrawAndCreateConcurrently) {
    GdiDevice device;
    Watchdog watchdog(std::chrono::seconds(60), "concurrent GDI use");
    std::atomic<int> failures{0};
    auto work = [&](int seed) {
        for (int i = 0; i < 200; ++i) {
            Canvas canvas(60, 20);
            canvas.UseFont(-9 - (i + seed) % 4, (i % 2) ? FW_BOLD : FW_NORMAL);
            RECT rect{0, 0, 60, 20};
            if (DrawTextW(canvas.dc(), u"thread text wraps", -1, &rect, DT_WORDBREAK) <= 0) ++failures;
            HBRUSH brush = CreateSolidBrush(RGB(i, seed, 0));
            FillRect(canvas.dc(), &rect, brush);
            if (!DeleteObject(brush)) ++failures;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(work, t);
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace
}  // namespace qf::test
