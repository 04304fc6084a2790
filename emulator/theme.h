// The Today screen's look: the colours it answers to TODAYM_GETCOLOR and the watermark it paints behind
// the items, a soft gradient from the top of the screen to the bottom.
#pragma once

#include <windows.h>

namespace qf::emu {

struct TodayTheme {
    COLORREF text = RGB(0, 0, 0);
    COLORREF highlight = RGB(49, 106, 197);
    COLORREF highlighted_text = RGB(255, 255, 255);
    COLORREF watermark_top = RGB(255, 255, 255);
    COLORREF watermark_bottom = RGB(198, 216, 245);
    COLORREF title_bar = RGB(16, 45, 120);
    COLORREF title_text = RGB(255, 255, 255);
};

// Any thread. The answer to TODAYM_GETCOLOR for a TODAYCOLOR_* value; the text colour for unknown ones.
COLORREF ThemeColor(const TodayTheme& theme, WPARAM which);

// Any thread. The watermark's colour at row `y` of a screen `height` rows high.
COLORREF WatermarkColor(const TodayTheme& theme, int y, int height);

// Main thread. Paints the watermark into `area` of `dc`, whose row 0 lies at screen row `screen_top`, for
// a screen `screen_height` rows high, so that an item's background lines up with the screen's.
void PaintWatermark(HDC dc, const RECT& area, int screen_top, int screen_height, const TodayTheme& theme);

}  // namespace qf::emu
