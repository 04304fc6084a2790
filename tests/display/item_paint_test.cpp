// The item's paint in message mode, checked through what reached the window: its pixels, the texts GDI
// recorded for the frame, and the requests the stand-in Today screen received.
#include "display/item_paint.h"

#include <gtest/gtest.h>
#include <todaycmn.h>

#include <functional>
#include <vector>

#include "display/gdi_handles.h"
#include "qfdevice/window_surface.h"
#include "support/temp_device.h"

namespace qf::display {
namespace {

constexpr COLORREF kText = RGB(10, 20, 30);
constexpr COLORREF kHighlight = RGB(0, 0, 200);
constexpr COLORREF kHighlightedText = RGB(250, 250, 0);
constexpr COLORREF kWatermark = RGB(0, 200, 0);
constexpr int kWidth = 240;
constexpr int kHeight = 75;

// What the stand-in Today screen saw; one shell per test.
struct ShellLog {
    std::vector<WPARAM> colors_asked;
    int watermarks = 0;
    RECT watermark_rect{};
    HWND watermark_window = nullptr;
};
ShellLog* g_log = nullptr;
std::function<void(HWND)> g_paint;

LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == TODAYM_GETCOLOR) {
        g_log->colors_asked.push_back(wparam);
        if (wparam == TODAYCOLOR_HIGHLIGHT) return kHighlight;
        return wparam == TODAYCOLOR_HIGHLIGHTEDTEXT ? kHighlightedText : kText;
    }
    if (message == TODAYM_DRAWWATERMARK) {
        auto* info = reinterpret_cast<TODAYDRAWWATERMARKINFO*>(lparam);
        ++g_log->watermarks;
        g_log->watermark_rect = info->rc;
        g_log->watermark_window = info->hwnd;
        GdiObject<HBRUSH> brush(CreateSolidBrush(kWatermark));
        FillRect(info->hdc, &info->rc, brush.get());
        return TRUE;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK ItemProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        g_paint(window);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(window, message, wparam, lparam);
}

void Register(const char16_t* name, WNDPROC procedure) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = procedure;
    window_class.lpszClassName = name;
    RegisterClassW(&window_class);
}

class ItemPaint : public ::testing::Test {
  protected:
    void SetUp() override {
        g_log = &log_;
        g_paint = [this](HWND window) { PaintItem(window, inputs_, state_); };
        Register(u"PaintTestShell", ShellProc);
        Register(u"PaintTestItem", ItemProc);
        shell_ = CreateWindowExW(0, u"PaintTestShell", u"", WS_VISIBLE, 0, 0, 480, 640, nullptr, nullptr,
                                 nullptr, nullptr);
        inputs_.content.status_text = u"Building View Listing...";
    }
    void TearDown() override {
        DestroyWindow(shell_);
        UnregisterClassW(u"PaintTestItem", nullptr);
        UnregisterClassW(u"PaintTestShell", nullptr);
        g_log = nullptr;
        g_paint = nullptr;
    }

    // Creates the item window (in tab mode inside a middle window, as the tab host nests it) and paints.
    HWND Paint(int width = kWidth, int height = kHeight) {
        HWND parent = shell_;
        if (inputs_.host_mode == HostMode::kTab) {
            parent = CreateWindowExW(0, u"PaintTestItem", u"", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                     shell_, nullptr, nullptr, nullptr);
        }
        HWND item = CreateWindowExW(0, u"PaintTestItem", u"", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                    parent, nullptr, nullptr, nullptr);
        log_ = ShellLog{};
        InvalidateRect(item, nullptr, TRUE);
        UpdateWindow(item);
        return item;
    }

    static COLORREF Pixel(HWND window, int x, int y) {
        qf::device::SurfacePixels surface = qf::device::ReadWindowSurface(window);
        std::uint32_t rgb = surface.pixels.at(static_cast<size_t>(y) * surface.width + x);
        return RGB((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
    }

    static qf::device::DrawnText OnlyText(HWND window) {
        std::vector<qf::device::DrawnText> texts = qf::device::WindowTexts(window);
        EXPECT_EQ(texts.size(), 1u);
        return texts.empty() ? qf::device::DrawnText{} : texts.front();
    }

    auto Watermark() const {
        return std::tuple(log_.watermarks, log_.watermark_window, log_.watermark_rect.right,
                          log_.watermark_rect.bottom);
    }

    qf::test::TempDevice device_;
    ShellLog log_;
    PaintInputs inputs_;
    PaintState state_;
    HWND shell_ = nullptr;
};

// The message's place and colours and the background for each host, background, selection and scale,
// with the colours asked of the shell. The font grows with the dpi, not the scale factor.
TEST_F(ItemPaint, MessageAndBackgroundByHostThemeSelectionAndScale) {
    using enum HostMode;
    constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
    constexpr WPARAM kAskText = TODAYCOLOR_TEXT, kAskBar = TODAYCOLOR_HIGHLIGHT;
    constexpr WPARAM kAskBarText = TODAYCOLOR_HIGHLIGHTEDTEXT;
    const struct {
        const char* what;
        HostMode host;
        bool themed, selected;
        int scale;
        COLORREF background, text;
        int left, top;
        std::vector<WPARAM> asked;
    } cases[] = {
        {"themed", kToday, true, false, 1, kWatermark, kText, 20, 2, {kAskText}},
        {"selected", kToday, true, true, 1, kHighlight, kHighlightedText, 20, 2, {kAskBar, kAskBarText}},
        {"white", kToday, false, false, 1, kWhite, kBlack, 20, 2, {}},
        {"white, selected: black text", kToday, false, true, 1, kHighlight, kBlack, 20, 2, {kAskBar}},
        {"tab: the grandparent's colours", kTab, true, false, 1, kWatermark, kText, 10, 2, {kAskText}},
        {"doubled", kToday, true, false, 2, kWatermark, kText, 40, 4, {kAskText}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        inputs_.host_mode = c.host, inputs_.themed_background = c.themed, inputs_.item_selected = c.selected;
        inputs_.scale = SkinScale{c.scale, false, false};
        HWND item = Paint(kWidth * c.scale, kHeight * c.scale);
        EXPECT_EQ(Pixel(item, 5, kHeight * c.scale - 1), c.background);
        EXPECT_EQ(log_.colors_asked, c.asked);
        EXPECT_EQ(Watermark(), c.themed ? std::tuple(1, item, kWidth * c.scale, kHeight * c.scale)
                                        : std::tuple(0, HWND{}, 0, 0));
        qf::device::DrawnText text = OnlyText(item);
        EXPECT_EQ(text.text, u"No View items are available:  Please configure Quillfeed.");
        EXPECT_EQ(std::tuple(text.left, text.top, text.font_height, text.font_weight, text.color),
                  std::tuple(c.left, c.top, -11, FW_NORMAL, c.text));  // 8 points at 96 dpi
        EXPECT_LE(text.right, (kWidth - 10) * c.scale);
    }
}

// The font follows the font size name; the About text is bold.
TEST_F(ItemPaint, MessageFontFollowsTheSizeAndTheMessage) {
    inputs_.font_size_name = u"largest";
    EXPECT_EQ(OnlyText(Paint()).font_height, -13);  // 10 points
    inputs_.content.status_text = u"ABOUT";
    inputs_.content.about_text = u"Quillfeed version 2.0";
    EXPECT_EQ(OnlyText(Paint()).font_weight, FW_BOLD);
}

TEST_F(ItemPaint, MenuButtonWithRedTransparentOnlyInTodayMode) {
    // A 2 x 1 button: red (transparent) then blue; stretched by 2 with the low-resolution skin.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    GdiObject<HBITMAP> button(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(button);
    static_cast<std::uint32_t*>(bits)[0] = 0x00FF0000;  // red
    static_cast<std::uint32_t*>(bits)[1] = 0x000000FF;  // blue
    inputs_.bitmaps.menu_button = button.get();
    inputs_.scale = SkinScale{2, false, false};

    constexpr COLORREF kBlue = RGB(0, 0, 255);
    auto pixels = [](HWND item, std::vector<POINT> at) {
        std::vector<COLORREF> seen;
        for (POINT p : at) seen.push_back(Pixel(item, p.x, p.y));
        return seen;
    };
    EXPECT_EQ(pixels(Paint(), {{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 0}}),
              (std::vector<COLORREF>{kWatermark, kWatermark, kBlue, kBlue, kWatermark}));
    inputs_.scale.high_res_skin = true;
    EXPECT_EQ(pixels(Paint(), {{1, 0}, {2, 0}}), (std::vector<COLORREF>{kBlue, kWatermark}));
    inputs_.host_mode = HostMode::kTab;
    EXPECT_EQ(Pixel(Paint(), 1, 0), kWatermark);
}

TEST_F(ItemPaint, AnItemTooLowForTheMessageShowsOnlyTheBackground) {
    EXPECT_TRUE(qf::device::WindowTexts(Paint(kWidth, 2)).empty());
    EXPECT_EQ(log_.watermarks, 1);
    inputs_.item_height = 2;  // a taller window does not make room: the item keeps to its height
    EXPECT_TRUE(qf::device::WindowTexts(Paint()).empty());
    EXPECT_EQ(log_.watermark_rect.bottom, kHeight);
}

// Rows "Row 0" ... in list mode, the selected one on a lightened highlight bar.
class ListPaint : public ItemPaint {
  protected:
    void SetRows(int count) {
        rows_.clear();
        for (int i = 0; i < count; ++i)
            rows_.push_back(ListRow{u"Row " + std::u16string(1, char16_t(u'0' + i)), 0, i, false, -1, i});
        inputs_.rows = &rows_;
        inputs_.content.status_text.clear();
        inputs_.content.current_view_index = 0, inputs_.content.list_mode = true;
        inputs_.content.list_row_count = count;
    }
    std::vector<ListRow> rows_;
};

TEST_F(ListPaint, PageOfRowsWithSelectionShadowAndThumb) {
    inputs_.themed_background = false, inputs_.shadow_mode = 3;
    SetRows(5);  // a row of 13 pixels: (75 - 4) / 13 = 5 rows fit
    state_.position.selected = 1;
    HWND item = Paint();
    EXPECT_EQ(state_.row_height, 13);
    std::vector<qf::device::DrawnText> texts = qf::device::WindowTexts(item);
    ASSERT_EQ(texts.size(), 10u);  // each caption after its black shadow
    EXPECT_EQ(texts[0].text, u"\u00B0 Row 0");
    EXPECT_EQ(std::tuple(texts[0].left, texts[0].top, texts[1].left, texts[3].top),
              std::tuple(21, 3, 20, 2 + 13));
    COLORREF bar = Pixel(item, 200, 2 + 13 + 6);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(GetBValue(bar), GetBValue(highlight) + (255 - GetBValue(highlight)) / 2);
    EXPECT_EQ(Pixel(item, 200, 2 + 6), RGB(255, 255, 255));
    EXPECT_EQ(state_.thumb.top, 0) << "exactly a page of rows has no thumb";
    EXPECT_EQ(state_.position.last_visible, 4);

    SetRows(6);  // the page holding the selection (ListPage's table) gets a thumb
    Paint();
    EXPECT_GT(state_.thumb.bottom, state_.thumb.top);
}

TEST_F(ListPaint, LongCaptionsEndInAnEllipsisAndFeedItemsAreIndented) {
    SetRows(2);
    rows_[0].text = std::u16string(300, u'w');
    rows_[1].item_index = -1;  // a feed row
    rows_.push_back(ListRow{u"Inside", 1, 7, false, -1, 0});
    inputs_.content.list_row_count = 3, inputs_.feed_list = true;
    std::vector<qf::device::DrawnText> texts = qf::device::WindowTexts(Paint());
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text.substr(texts[0].text.size() - 3), u"...");
    EXPECT_LE(texts[0].right, kWidth - 15);
    EXPECT_EQ(std::tuple(texts[1].text, texts[1].left, texts[2].left), std::tuple(u"+ Row 1", 20, 30));
}

}  // namespace
}  // namespace qf::display
