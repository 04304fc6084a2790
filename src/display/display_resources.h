// What the display keeps for as long as the library is loaded: the screen's logical pixels and the
// popup menus' fonts. The library state owns the one instance and hands its parts to the display code
// that reads them. User-interface thread.
#pragma once

#include "display/menu_fonts.h"
#include "display/screen_metrics.h"

namespace qf::display {

struct DisplayResources {
    ScreenMetrics screen;  // measured when the first window is created
    MenuFonts menu_fonts;  // built with the item window, freed when it is destroyed
};

}  // namespace qf::display
