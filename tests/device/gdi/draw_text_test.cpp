#include <gtest/gtest.h>

#include <string>

#include "gdi_fixture.h"
#include "windows.h"

namespace qf::test {
namespace {

constexpr char16_t kNoViews[] = u"No View items are available:  Please configure Quillfeed.";

TEXTMETRICW MetricsOf(LONG height, LONG weight = FW_NORMAL) {
    Canvas canvas(4, 4);
    canvas.UseFont(height, weight);
    TEXTMETRICW metrics{};
    EXPECT_TRUE(GetTextMetricsW(canvas.dc(), &metrics));
    return metrics;
}

LONG ExtentOf(HDC dc, std::u16string_view text) {
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size));
    return size.cx;
}

RECT CalcRect(HDC dc, std::u16string_view text, RECT rect, UINT format) {
    int height = DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    EXPECT_EQ(height, rect.bottom - rect.top);
    return rect;
}

TEST(FontHeight, TahomaCellsMatchWindows) {
    GdiDevice device;
    // Character height -> line height, as Windows reports Tahoma.
    const std::pair<LONG, LONG> table[] = {{-8, 10}, {-9, 11}, {-10, 12}, {-11, 13}, {-12, 14}};
    for (auto [height, cell] : table) EXPECT_EQ(MetricsOf(height).tmHeight, cell) << height;
    EXPECT_EQ(MetricsOf(-11).tmInternalLeading, 2);
    // A positive height asks for the cell.
    EXPECT_EQ(MetricsOf(13).tmHeight, 13);
    EXPECT_EQ(MetricsOf(13).tmAscent, 11);
}

// Tahoma's bold file keeps the regular cell; DejaVu Sans stands in without device fonts, with its own
// deeper descent. Either way bold text is wider.
TEST(FontHeight, BoldAndStandInFaces) {
    for (auto [fonts, ascent, descent] :
         {std::tuple{DeviceFonts::kTahoma, 11, 2}, std::tuple{DeviceFonts::kNone, 10, 3}}) {
        GdiDevice device(fonts);
        Canvas regular(4, 4);
        regular.UseFont(-11, FW_NORMAL);
        Canvas bold(4, 4);
        bold.UseFont(-11, FW_BOLD);
        TEXTMETRICW plain{};
        TEXTMETRICW heavy{};
        ASSERT_TRUE(GetTextMetricsW(regular.dc(), &plain));
        ASSERT_TRUE(GetTextMetricsW(bold.dc(), &heavy));
        EXPECT_EQ(plain.tmAscent, ascent);
        EXPECT_EQ(plain.tmDescent, descent);
        EXPECT_EQ(heavy.tmHeight, plain.tmHeight);
        EXPECT_EQ(heavy.tmWeight, FW_BOLD);
        EXPECT_GT(ExtentOf(bold.dc(), kNoViews), ExtentOf(regular.dc(), kNoViews));
    }
}

TEST(DrawTextCalcRect, WrapsWhereTheNextWordWouldPassTheEdgeAndNarrowerNeverGivesFewerLines) {
    GdiDevice device;
    Canvas canvas(240, 80);
    canvas.UseFont(-11);
    HDC dc = canvas.dc();
    const UINT format = DT_WORDBREAK | DT_NOPREFIX;
    LONG whole = ExtentOf(dc, kNoViews);
    LONG first = ExtentOf(dc, u"No View items are available:");
    LONG second = ExtentOf(dc, u"Please configure Quillfeed.");

    // Wide enough: one line exactly as wide as the text.
    EXPECT_EQ(CalcRect(dc, kNoViews, {20, 0, 20 + whole, 75}, format).right, 20 + whole);
    EXPECT_EQ(CalcRect(dc, kNoViews, {20, 0, 20 + whole, 75}, format).bottom, 13);
    // One pixel short: the last word moves down; the double space at the break vanishes.
    RECT wrapped = CalcRect(dc, kNoViews, {20, 0, 20 + whole - 1, 75}, format);
    EXPECT_EQ(wrapped.bottom, 26);
    EXPECT_EQ(wrapped.right, 20 + ExtentOf(dc, u"No View items are available:  Please configure"));
    // The item's own message rectangle on a 240-pixel screen: "configure Quillfeed." goes down.
    RECT item = CalcRect(dc, kNoViews, {20, 0, 230, 75}, format);
    EXPECT_EQ(item.bottom, 26);
    EXPECT_EQ(item.right, 20 + ExtentOf(dc, u"No View items are available:  Please"));
    RECT narrow = CalcRect(dc, kNoViews, {20, 0, 20 + first, 75}, format);
    EXPECT_EQ(narrow.bottom, 26);
    EXPECT_EQ(narrow.right, 20 + std::max(first, second));

    // Narrower rectangles never give fewer lines.
    int previous = 0;
    for (int width = 240; width >= 10; width -= 7) {
        RECT rect = CalcRect(dc, kNoViews, {0, 0, width, 500}, DT_WORDBREAK);
        EXPECT_EQ(rect.bottom % 13, 0);
        EXPECT_GE(rect.bottom, previous) << width;
        EXPECT_LE(rect.right, width) << "no word of the message is wider than " << width;
        previous = rect.bottom;
    }
}

TEST(DrawTextCalcRect, LineBreaksAndSingleLine) {
    GdiDevice device;
    Canvas canvas(200, 100);
    canvas.UseFont(-11);
    HDC dc = canvas.dc();
    RECT lines = CalcRect(dc, u"one\ntwo\r\nthree", {5, 5, 200, 100}, 0);
    EXPECT_EQ(lines.bottom, 5 + 39);
    EXPECT_EQ(lines.right, 5 + ExtentOf(dc, u"three"));
    RECT single = CalcRect(dc, u"one\ntwo", {5, 5, 10, 100}, DT_SINGLELINE | DT_WORDBREAK);
    EXPECT_EQ(single.bottom, 5 + 13);
    EXPECT_EQ(single.right, 5 + ExtentOf(dc, u"onetwo"));
    // Prefixes: "&" is not shown unless DT_NOPREFIX.
    EXPECT_EQ(CalcRect(dc, u"&Open", {0, 0, 200, 20}, 0).right, ExtentOf(dc, u"Open"));
    EXPECT_EQ(CalcRect(dc, u"&Open", {0, 0, 200, 20}, DT_NOPREFIX).right, ExtentOf(dc, u"&Open"));
}

TEST(DrawText, CentredRightAlignedAndClippedInk) {
    GdiDevice device;
    Canvas canvas(100, 50);
    canvas.UseFont(-11);
    RECT rect{0, 0, 100, 50};
    EXPECT_EQ(DrawTextW(canvas.dc(), u"Hi", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 31);
    RECT ink = canvas.InkBounds();
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 50, 2);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 25, 3);
    Canvas right(100, 20);
    right.UseFont(-11);
    rect = {0, 0, 90, 20};
    DrawTextW(right.dc(), u"right", -1, &rect, DT_RIGHT | DT_SINGLELINE);
    EXPECT_LE(right.InkBounds().right, 90);
    EXPECT_GE(right.InkBounds().right, 87);

    // Ink stays inside the rectangle.
    Canvas clipped(100, 40);
    clipped.UseFont(-11);
    rect = {0, 0, 20, 6};
    DrawTextW(clipped.dc(), u"Wide text", -1, &rect, DT_SINGLELINE);
    EXPECT_LE(clipped.InkBounds().right, 20);
    EXPECT_LE(clipped.InkBounds().bottom, 6);
}

TEST(DrawText, ColoursAndBackgroundModes) {
    GdiDevice device;
    Canvas canvas(100, 20);
    canvas.UseFont(-11, FW_BOLD);
    HDC dc = canvas.dc();
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT all{0, 0, 100, 20};
    FillRect(dc, &all, blue);
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    RECT rect{10, 0, 100, 20};
    DrawTextW(dc, u"HHH", -1, &rect, DT_SINGLELINE);
    int red = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 100; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            red += GetRValue(pixel) > 200;
            // Antialiased edges blend red into blue; nothing else appears.
            EXPECT_EQ(GetGValue(pixel), 0);
            EXPECT_EQ(GetRValue(pixel) + GetBValue(pixel), 255);
            if (x < 10) {
                EXPECT_EQ(pixel, RGB(0, 0, 255));
            }
        }
    }
    EXPECT_GT(red, 10);
    // Opaque: the line's cell takes the background colour.
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 255, 0));
    DrawTextW(dc, u"HHH", -1, &rect, DT_SINGLELINE);
    EXPECT_EQ(GetPixel(dc, 11, 12), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 11, 14), RGB(0, 0, 255));
    DeleteObject(blue);
}

}  // namespace
}  // namespace qf::test
