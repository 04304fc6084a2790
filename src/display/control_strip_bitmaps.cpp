#include "display/control_strip_bitmaps.h"

namespace qf::display {

ControlStripBitmaps ControlStripBitmaps::Load(HINSTANCE instance) {
    auto load = [instance](int id) { return GdiObject<HBITMAP>(LoadBitmapW(instance, MAKEINTRESOURCE(id))); };
    return {load(171), load(172), load(173), load(174)};
}

}  // namespace qf::display
