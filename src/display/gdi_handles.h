// Owning wrappers for the GDI handles the item creates while it paints, so that every way out of a
// paint restores the DC and deletes what was made.
#pragma once

#include <windows.h>

#include <utility>

namespace qf::display {

// Owns a font, brush or bitmap; DeleteObject on destruction. Move-only.
template <typename Handle>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset() {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = nullptr;
    }

  private:
    Handle handle_ = nullptr;
};

// Owns a memory DC from CreateCompatibleDC; DeleteDC on destruction.
class MemoryDc {
  public:
    explicit MemoryDc(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HDC dc_;
};

// A DC of a window (or of the screen for a null window) from GetDC; ReleaseDC on destruction.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// A DC that answers for the screen (GetDeviceCaps): GetDC(null), or, where the window manager hands out
// no screen DC, a memory DC, which GDI also answers with the screen's figures. Released on destruction.
class ScreenDc {
  public:
    ScreenDc() : window_dc_(nullptr) {
        if (!window_dc_) memory_dc_ = CreateCompatibleDC(nullptr);
    }
    ~ScreenDc() {
        if (memory_dc_ != nullptr) DeleteDC(memory_dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;

    HDC get() const { return window_dc_ ? window_dc_.get() : memory_dc_; }
    explicit operator bool() const { return get() != nullptr; }

  private:
    WindowDc window_dc_;
    HDC memory_dc_ = nullptr;
};

// Selects an object into a DC and selects the previous one back on destruction, so that the object can
// be deleted afterwards. Must not outlive the DC or the object.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint for a window's WM_PAINT, and EndPaint on every way out, so that the next WM_PAINT can try
// again after a failure. dc() is null when no DC could be had.
class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

}  // namespace qf::display
