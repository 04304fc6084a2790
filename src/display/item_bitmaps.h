// The skin bitmaps the item's paint draws. The skin loader owns them; the paint only borrows them, and a
// null handle (no skin loaded, or an image missing) is simply not drawn.
#pragma once

#include <windows.h>

#include "display/alpha_blend_library.h"
#include "display/skin.h"

namespace qf::display {

struct ItemBitmaps {
    HBITMAP menu_button = nullptr;
    HBITMAP up_arrow = nullptr;
    HBITMAP down_arrow = nullptr;
    HBITMAP scroller_top = nullptr;
    HBITMAP scroller_middle = nullptr;
    HBITMAP scroller_bottom = nullptr;
    HBITMAP back_button = nullptr;
    HBITMAP web_link = nullptr;
    HBITMAP web_link_mask = nullptr;
    // Tab mode: the tab host's alpha blending, which draws the web-link icon through its mask.
    const AlphaBlendLibrary* alpha_blend = nullptr;
};

// User-interface thread. The pieces of a loaded skin; they stay the skin's and go with it.
ItemBitmaps ItemBitmapsOf(const Skin& skin);

}  // namespace qf::display
