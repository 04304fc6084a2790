#include "display/colors.h"

namespace qf::display {
namespace {

bool InRange(double fraction) { return fraction > 0.0 && fraction <= 1.0; }

BYTE Lighten(BYTE v, double fraction) { return static_cast<BYTE>(v + (255 - v) * fraction); }
BYTE Darken(BYTE v, double fraction) { return static_cast<BYTE>(v - v * fraction); }

}  // namespace

COLORREF LightenColor(COLORREF color, double fraction) {
    if (!InRange(fraction)) return color;
    return RGB(Lighten(GetRValue(color), fraction), Lighten(GetGValue(color), fraction),
               Lighten(GetBValue(color), fraction));
}

COLORREF DarkenColor(COLORREF color, double fraction) {
    if (!InRange(fraction)) return color;
    return RGB(Darken(GetRValue(color), fraction), Darken(GetGValue(color), fraction),
               Darken(GetBValue(color), fraction));
}

}  // namespace qf::display
