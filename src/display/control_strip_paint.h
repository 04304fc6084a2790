// The control strip's paint in tab mode: the menu button and, beside it, a button-shaped field with the
// current view's name, over the tab host's watermark. The pieces come from the tab host's skin through
// its alpha-blend function, or, without that function, from the plug-in's own bitmaps.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "display/alpha_blend_library.h"
#include "display/control_strip_bitmaps.h"
#include "display/skin.h"
#include "display/skin_scale.h"

namespace qf::display {

// Taps left of this x (times the scale factor) open the main menu, the rest the views menu.
inline constexpr int kStripMenuButtonWidth = 35;

// The view field of a strip `client_width` pixels wide, in strip pixels: it starts at 40 and ends 10
// before the right edge but at most at 120 (all times the scale factor).
struct StripField {
    int left = 0;
    int right = 0;
};

// Where the field's pieces go, for pieces `piece` pixels wide (8 for the skin's, 5 for the plug-in's
// own, times the scale factor): the left end at the field's left, the right end at right - piece, and
// middle pieces every piece pixels from left + piece, none starting right of right - 2 x piece.
struct StripPieces {
    int left_x = 0;
    int right_x = 0;
    std::vector<int> middle_xs;
};

// Any thread.
StripField LayOutStripField(int client_width, int scale_factor);
// Any thread.
StripPieces LayOutStripPieces(const StripField& field, int piece_px);

// What the strip's paint reads; the pointers are borrowed and may be null (nothing of theirs is drawn).
struct StripPaintInputs {
    SkinScale scale;
    std::u16string view_name;
    const Skin* skin = nullptr;
    const AlphaBlendLibrary* alpha_blend = nullptr;
    const ControlStripBitmaps* own_bitmaps = nullptr;
};

// User-interface thread of `window`, inside its WM_PAINT. Paints the whole strip off-screen and copies
// it to the window; colours and watermark come from the parent's parent (the tab host's Today-style
// window). False when it could not draw (no DC or memory bitmap); BeginPaint and EndPaint have run
// either way.
bool PaintControlStrip(HWND window, const StripPaintInputs& inputs);

}  // namespace qf::display
