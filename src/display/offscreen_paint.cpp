#include "display/offscreen_paint.h"

namespace qf::display {

OffscreenPaint::OffscreenPaint(HWND window) : paint_(window) {
    RECT client{};
    GetClientRect(window, &client);
    width_ = client.right - client.left;
    height_ = client.bottom - client.top;
    if (paint_.dc() == nullptr) return;
    memory_.emplace(paint_.dc());
    if (!*memory_) return;
    bitmap_ = GdiObject<HBITMAP>(CreateCompatibleBitmap(paint_.dc(), width_, height_));
    if (!bitmap_) return;
    selected_.emplace(memory_->get(), bitmap_.get());
}

void OffscreenPaint::Present() const { BitBlt(paint_.dc(), 0, 0, width_, height_, dc(), 0, 0, SRCCOPY); }

}  // namespace qf::display
