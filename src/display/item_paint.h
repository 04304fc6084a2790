// The item window's paint: everything is drawn into an off-screen bitmap which reaches the window in one
// BitBlt, so that the Today screen never shows a half-drawn item.
#pragma once

#include <windows.h>

#include <string>

#include "display/host_mode.h"
#include "display/item_content.h"
#include "display/skin_scale.h"

namespace qf::display {

// The item window's state as the paint reads it. The item window fills one per WM_PAINT.
struct PaintInputs {
    HostMode host_mode = HostMode::kToday;
    bool item_selected = false;     // holds the Today selection
    bool themed_background = true;  // the Today watermark and colours, else white with black text
    std::u16string font_size_name = u"normal";
    int item_height = 75;  // the height reported to the Today screen; the layout keeps within it
    SkinScale scale;
    ContentState content;
    HBITMAP menu_button = nullptr;  // the skin's menu button; null while none is loaded. Not owned.
};

// User-interface thread of `window`, inside its WM_PAINT. Paints the whole client area: background
// (the watermark of the Today screen or white), the selection highlight, the menu button in Today mode,
// and the content. Today colours and the watermark are asked of the parent (in tab mode the parent's
// parent) with TODAYM_GETCOLOR and TODAYM_DRAWWATERMARK. Answers false when it could not draw (no DC,
// memory DC or bitmap); BeginPaint and EndPaint have run either way.
bool PaintItem(HWND window, const PaintInputs& inputs);

// User-interface thread. Draws a skin bitmap at (x, y) with pure red transparent: 1:1 for a
// high-resolution skin, else stretched by the scale factor.
void DrawSkinBitmap(HDC dc, HBITMAP bitmap, int x, int y, const SkinScale& scale);

}  // namespace qf::display
