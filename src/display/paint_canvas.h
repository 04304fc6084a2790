// The off-screen surface the item paints on, with the layout's pixel constants scaled, and the text
// drawing every content mode shares: measuring, shadowed text and text cut with "...".
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "display/gdi_handles.h"
#include "display/item_bitmaps.h"
#include "display/skin_scale.h"

namespace qf::display {

struct Canvas {
    HDC dc = nullptr;
    int width = 0;
    int height = 0;         // the whole client area
    int layout_height = 0;  // min(client height, item height): the layout keeps to the item's height
    SkinScale scale;
    int Px(int unscaled) const { return unscaled * scale.scale_factor; }
};

// User-interface thread. The item's font for `font_size_name` at `weight`, sized for the DC's
// LOGPIXELSY; the caller owns it.
GdiObject<HFONT> CreateItemFont(HDC dc, std::u16string_view font_size_name, const SkinScale& scale,
                                LONG weight);

// User-interface thread. The height DrawTextW reports for `text` in `rect` with DT_CALCRECT added to
// `format`; the rectangle's bottom is ignored.
int MeasureTextHeight(HDC dc, std::u16string_view text, RECT rect, UINT format);

// User-interface thread. Draws `text` in `rect`; with `shadow_mode` 1 to 3 a black copy goes first, one
// pixel to the right (1, 3) and/or down (2, 3). The DC's text colour is kept.
void DrawShadowedText(HDC dc, std::u16string_view text, RECT rect, UINT format, int shadow_mode);

// Any thread. The text the ellipsis routine draws when `text` does not fit (`fits` answers whether a
// text fits the target): the longest prefix that fits, trailing white space trimmed, three more
// characters dropped and "..." appended. `text` itself when it fits. `fits` must grow no more likely
// to succeed as the text grows (true of text widths and of word-wrapped heights).
std::u16string EllipsizedText(std::u16string_view text, const std::function<bool(std::u16string_view)>& fits);

// User-interface thread. DrawShadowedText of `text` cut with "..." to fit `rect`: too wide for a
// DT_SINGLELINE format, too high otherwise.
void DrawEllipsizedText(HDC dc, std::u16string_view text, RECT rect, UINT format, int shadow_mode);

// User-interface thread. A skin bitmap at (x, y) with pure red transparent: 1:1 for a high-resolution
// skin, else stretched by the scale factor. Nothing for a null bitmap.
void DrawSkinBitmap(HDC dc, HBITMAP bitmap, int x, int y, const SkinScale& scale);

}  // namespace qf::display
