#include "window/menu_layout.h"

#include <algorithm>

#include "win/menu.h"

namespace qf::device::wm {
namespace {

// Keeps [start, start + length) inside [0, limit) where it can; a popup larger than the screen starts
// at 0.
LONG Clamp(LONG start, LONG length, LONG limit) { return std::max<LONG>(0, std::min(start, limit - length)); }

RECT At(LONG left, LONG top, SIZE size) { return RECT{left, top, left + size.cx, top + size.cy}; }

}  // namespace

PopupLayout LayOutEntries(const std::vector<SIZE>& entry_sizes, int frame) {
    PopupLayout layout;
    LONG width = 0;
    for (const SIZE& size : entry_sizes) width = std::max(width, size.cx);
    LONG top = frame;
    for (const SIZE& size : entry_sizes) {
        layout.entries.push_back(RECT{frame, top, frame + width, top + size.cy});
        top += size.cy;
    }
    layout.size = SIZE{width + 2 * frame, top + frame};
    return layout;
}

RECT PlaceMenu(POINT at, unsigned flags, SIZE size, SIZE screen) {
    LONG left = at.x;
    if ((flags & TPM_CENTERALIGN) != 0) {
        left = at.x - size.cx / 2;
    } else if ((flags & TPM_RIGHTALIGN) != 0) {
        left = at.x - size.cx;
    }
    LONG top = at.y;
    if ((flags & TPM_VCENTERALIGN) != 0) {
        top = at.y - size.cy / 2;
    } else if ((flags & TPM_BOTTOMALIGN) != 0) {
        top = at.y - size.cy;
    }
    if (top + size.cy > screen.cy && at.y - size.cy >= 0) top = at.y - size.cy;
    return At(Clamp(left, size.cx, screen.cx), Clamp(top, size.cy, screen.cy), size);
}

RECT PlaceSubmenu(const RECT& parent, int entry_top, SIZE size, SIZE screen, int frame) {
    LONG left = parent.right - frame;
    // To the left only when it fits there; else as far right as the screen allows.
    LONG on_left = parent.left - size.cx + frame;
    if (left + size.cx > screen.cx && on_left >= 0) left = on_left;
    LONG top = parent.top + entry_top - frame;
    return At(Clamp(left, size.cx, screen.cx), Clamp(top, size.cy, screen.cy), size);
}

}  // namespace qf::device::wm
