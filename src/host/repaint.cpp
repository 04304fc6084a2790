#include "host/repaint.h"

namespace qf::host {

BOOL Repaint(const ItemWindow& item) {
    if (item.control_strip != nullptr) {
        InvalidateRect(item.control_strip, nullptr, TRUE);
        UpdateWindow(item.control_strip);
    }
    InvalidateRect(item.window, nullptr, TRUE);
    return UpdateWindow(item.window);
}

}  // namespace qf::host
