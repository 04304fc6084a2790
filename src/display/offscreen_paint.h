// A window's WM_PAINT drawn off screen, so that the window never shows a half-painted state: BeginPaint,
// a memory DC with a bitmap the size of the client area selected into it, and Present to copy the
// bitmap to the window. Everything is released and EndPaint called on every way out.
#pragma once

#include <windows.h>

#include <optional>

#include "display/gdi_handles.h"

namespace qf::display {

// User-interface thread, inside the window's WM_PAINT. Not copyable or movable.
class OffscreenPaint {
  public:
    explicit OffscreenPaint(HWND window);
    OffscreenPaint(const OffscreenPaint&) = delete;
    OffscreenPaint& operator=(const OffscreenPaint&) = delete;

    // False when the paint DC, the memory DC or the bitmap could not be had; draw nothing then.
    bool ready() const { return selected_.has_value(); }
    // The memory DC to draw on (valid while ready()).
    HDC dc() const { return memory_->get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Copies the whole bitmap to the window's paint DC. Only when ready().
    void Present() const;

  private:
    PaintScope paint_;
    int width_ = 0;
    int height_ = 0;
    std::optional<MemoryDc> memory_;
    GdiObject<HBITMAP> bitmap_;
    std::optional<ScopedSelection> selected_;
};

}  // namespace qf::display
