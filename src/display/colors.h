// Colour arithmetic of the item's paint: lightening the selection bar and darkening the scroll track.
#pragma once

#include <windows.h>

namespace qf::display {

// Any thread. Moves each channel v towards white: v + (255 - v) * fraction, truncated. Only for
// 0 < fraction <= 1; any other fraction answers `color` unchanged.
COLORREF LightenColor(COLORREF color, double fraction);
// Any thread. Moves each channel v towards black: v - v * fraction, truncated; same range rule.
COLORREF DarkenColor(COLORREF color, double fraction);

}  // namespace qf::display
