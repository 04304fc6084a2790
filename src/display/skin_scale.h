// How the item scales its layout on the current screen: the scale factor and the two skin flags that the
// skin loader decides once per library load. The paint and the fonts read them.
#pragma once

namespace qf::display {

struct SkinScale {
    // 1, or 2 on a high-resolution screen; every pixel constant of the layout is multiplied by it.
    int scale_factor = 1;
    // Set when the high-resolution skin bitmaps loaded: they are drawn 1:1 instead of stretched.
    bool high_res_skin = false;
    // Set on a 640-pixel screen that reports about 96 dpi.
    bool vga_at_96dpi = false;

    // The factor applied to the item's font sizes: the scale factor only when both flags are set, since
    // otherwise the screen's dpi already makes the text large enough.
    int FontMultiplier() const { return vga_at_96dpi && high_res_skin ? scale_factor : 1; }
};

}  // namespace qf::display
