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

// The right and bottom edges DT_CALCRECT gives.
std::pair<LONG, LONG> CalcEdges(HDC dc, std::u16string_view text, RECT rect, UINT format) {
    RECT calc = CalcRect(dc, text, rect, format);
    return {calc.right, calc.bottom};
}

TEST(FontHeight, TahomaCellsMatchWindows) {
    GdiDevice device;
    // Character height -> line height, as Windows reports Tahoma.
    const std::pair<LONG, LONG> table[] = {{-8, 10}, {-9, 11}, {-10, 12}, {-11, 13}, {-12, 14}};
    for (auto [height, cell] : table) EXPECT_EQ(MetricsOf(height).tmHeight, cell) << height;
    EXPECT_EQ(MetricsOf(-11).tmInternalLeading, 2);
    // A positive height asks for the cell.
    EXPECT_EQ(std::pair(MetricsOf(13).tmHeight, MetricsOf(13).tmAscent), std::pair(LONG{13}, LONG{11}));
}

// Tahoma's bold file keeps the regular cell; DejaVu Sans stands in without device fonts, with its own
// deeper descent. Either way bold text is wider.
TEST(FontHeight, BoldAndStandInFaces) {
    for (auto [fonts, ascent, descent] :
         {std::tuple{DeviceFonts::kTahoma, 11, 2}, std::tuple{DeviceFonts::kNone, 10, 3}}) {
        GdiDevice device(fonts);
        Canvas regular(4, 4), bold(4, 4);
        regular.UseFont(-11, FW_NORMAL);
        bold.UseFont(-11, FW_BOLD);
        TEXTMETRICW plain{}, heavy{};
        ASSERT_TRUE(GetTextMetricsW(regular.dc(), &plain) && GetTextMetricsW(bold.dc(), &heavy));
        EXPECT_EQ(std::tuple(plain.tmAscent, plain.tmDescent, heavy.tmHeight, heavy.tmWeight),
                  std::tuple(ascent, descent, plain.tmHeight, FW_BOLD));
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
    EXPECT_EQ(CalcEdges(dc, kNoViews, {20, 0, 20 + whole, 75}, format), std::pair(20 + whole, LONG{13}));
    // One pixel short: the last word moves down; the double space at the break vanishes.
    EXPECT_EQ(CalcEdges(dc, kNoViews, {20, 0, 20 + whole - 1, 75}, format),
              std::pair(20 + ExtentOf(dc, u"No View items are available:  Please configure"), LONG{26}));
    // The item's own message rectangle on a 240-pixel screen: "configure Quillfeed." goes down.
    EXPECT_EQ(CalcEdges(dc, kNoViews, {20, 0, 230, 75}, format),
              std::pair(20 + ExtentOf(dc, u"No View items are available:  Please"), LONG{26}));
    EXPECT_EQ(CalcEdges(dc, kNoViews, {20, 0, 20 + first, 75}, format),
              std::pair(20 + std::max(first, second), LONG{26}));

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
    EXPECT_EQ(CalcEdges(dc, u"one\ntwo\r\nthree", {5, 5, 200, 100}, 0),
              std::pair(5 + ExtentOf(dc, u"three"), LONG{5 + 39}));
    EXPECT_EQ(CalcEdges(dc, u"one\ntwo", {5, 5, 10, 100}, DT_SINGLELINE | DT_WORDBREAK),
              std::pair(5 + ExtentOf(dc, u"onetwo"), LONG{5 + 13}));
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
    EXPECT_TRUE(right.InkBounds().right >= 87 && right.InkBounds().right <= 90) << right.InkBounds().right;

    // Ink stays inside the rectangle.
    Canvas clipped(100, 40);
    clipped.UseFont(-11);
    rect = {0, 0, 20, 6};
    DrawTextW(clipped.dc(), u"Wide text", -1, &rect, DT_SINGLELINE);
    EXPECT_TRUE(clipped.InkBounds().right <= 20 && clipped.InkBounds().bottom <= 6);
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
            EXPECT_TRUE(x >= 10 || pixel == RGB(0, 0, 255)) << x << "," << y;
        }
    }
    EXPECT_GT(red, 10);
    // Opaque: the line's cell takes the background colour.
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 255, 0));
    DrawTextW(dc, u"HHH", -1, &rect, DT_SINGLELINE);
    EXPECT_EQ(Pixels(dc, {{11, 12}, {11, 14}}), (std::vector{RGB(0, 255, 0), RGB(0, 0, 255)}));
    DeleteObject(blue);
}

}  // namespace
}  // namespace qf::test
