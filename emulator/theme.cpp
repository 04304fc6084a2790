#include "theme.h"

#include <todaycmn.h>

namespace qf::emu {
namespace {

BYTE Mix(BYTE from, BYTE to, int y, int height) {
    if (height <= 1) return from;
    return static_cast<BYTE>(from + (to - from) * y / (height - 1));
}

}  // namespace

COLORREF ThemeColor(const TodayTheme& theme, WPARAM which) {
    switch (which) {
        case TODAYCOLOR_HIGHLIGHT:
            return theme.highlight;
        case TODAYCOLOR_HIGHLIGHTEDTEXT:
            return theme.highlighted_text;
        default:
            return theme.text;
    }
}

COLORREF WatermarkColor(const TodayTheme& theme, int y, int height) {
    if (y < 0) y = 0;
    if (y >= height) y = height - 1;
    const COLORREF a = theme.watermark_top;
    const COLORREF b = theme.watermark_bottom;
    return RGB(Mix(GetRValue(a), GetRValue(b), y, height), Mix(GetGValue(a), GetGValue(b), y, height),
               Mix(GetBValue(a), GetBValue(b), y, height));
}

void PaintWatermark(HDC dc, const RECT& area, int screen_top, int screen_height, const TodayTheme& theme) {
    // One brush per run of rows of the same colour: the gradient changes slowly.
    int run_start = area.top;
    while (run_start < area.bottom) {
        COLORREF color = WatermarkColor(theme, screen_top + run_start, screen_height);
        int run_end = run_start + 1;
        while (run_end < area.bottom && WatermarkColor(theme, screen_top + run_end, screen_height) == color) {
            ++run_end;
        }
        HBRUSH brush = CreateSolidBrush(color);
        RECT run{area.left, run_start, area.right, run_end};
        FillRect(dc, &run, brush);
        DeleteObject(brush);
        run_start = run_end;
    }
}

}  // namespace qf::emu
