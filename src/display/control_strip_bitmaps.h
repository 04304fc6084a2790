// The plug-in's own bitmaps of the control strip (resources 171 to 174), drawn instead of the tab-host
// skin's pieces when the tab host offers no alpha blending. Each is drawn with red as the transparent
// colour, stretched by the scale factor.
#pragma once

#include <windows.h>

#include "display/gdi_handles.h"

namespace qf::display {

struct ControlStripBitmaps {
    GdiObject<HBITMAP> menu_button;   // 171, 38 x 20
    GdiObject<HBITMAP> field_left;    // 172, 5 x 20
    GdiObject<HBITMAP> field_right;   // 173
    GdiObject<HBITMAP> field_middle;  // 174

    // User-interface thread. Loads them from the resources of the plug-in module `instance`; a
    // resource that does not load stays null.
    static ControlStripBitmaps Load(HINSTANCE instance);
};

}  // namespace qf::display
