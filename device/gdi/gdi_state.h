// GDI's process-wide state: the handle table, the stock objects, the font cache and the window
// surfaces, all behind one lock. Every API function takes the lock once (LockedGdi) and works on the
// state through it; nothing here locks by itself.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "gdi/font_cache.h"
#include "gdi/objects.h"
#include "win/gdi.h"

namespace qf::device::gdi {

// A DC's font ready to draw: the face at its size and the LOGFONT it came from.
struct DcFont {
    SizedFont* face = nullptr;  // null when no font file can be opened
    LOGFONTW logfont{};
};

class GdiState {
  public:
    static constexpr int kStockCount = DEFAULT_GUI_FONT + 1;
    static constexpr int kSysColorCount = COLOR_INFOBK + 1;

    static GdiState& Instance();

    std::mutex& mutex() { return mutex_; }

    // Takes ownership of `object` and answers its new handle. Handles are never reused, so a stale
    // handle never names a newer object.
    HGDIOBJ Insert(std::shared_ptr<GdiObject> object);
    // The object named by `handle` when it is a T; else null, with ERROR_INVALID_HANDLE.
    template <class T>
    T* Find(const void* handle) {
        return static_cast<T*>(FindKind(handle, T::kKind));
    }
    GdiObject* FindAny(const void* handle);
    std::shared_ptr<Bitmap> ShareBitmap(const void* handle);
    // Removes the object from the table; it is destroyed unless a DC still shares it.
    void Erase(const void* handle);

    HGDIOBJ Stock(int id) const;
    HGDIOBJ SysColorBrush(int index) const;
    HGDIOBJ default_bitmap() const { return default_bitmap_; }

    // A new DC drawing into `bitmap` with the default tools selected.
    HDC CreateDc(DcKind kind, std::shared_ptr<Bitmap> bitmap, HGDIOBJ bitmap_handle);
    // Deselects everything from the DC and removes it.
    void DestroyDc(HDC handle);
    // SelectObject's work: answers the replaced object, or null when `object` cannot go into this DC.
    HGDIOBJ Select(HDC dc_handle, Dc& dc, HGDIOBJ object);

    DcFont FontOf(const Dc& dc);
    FontCache& fonts() { return fonts_; }

    std::unordered_map<HWND, std::shared_ptr<Bitmap>>& surfaces() { return surfaces_; }

  private:
    GdiState();
    GdiObject* FindKind(const void* handle, ObjectKind kind);
    void CreateStockObjects();

    std::mutex mutex_;
    std::uintptr_t next_handle_ = 0x10000;
    std::unordered_map<std::uintptr_t, std::shared_ptr<GdiObject>> objects_;
    std::array<HGDIOBJ, kStockCount> stock_{};
    std::array<HGDIOBJ, kSysColorCount> sys_color_brushes_{};
    HGDIOBJ default_bitmap_ = nullptr;
    FontCache fonts_;
    std::unordered_map<HWND, std::shared_ptr<Bitmap>> surfaces_;
};

// The state with its lock held for the life of this object.
class LockedGdi {
  public:
    LockedGdi() : state_(GdiState::Instance()), lock_(state_.mutex()) {}
    GdiState* operator->() { return &state_; }
    GdiState& operator*() { return state_; }

  private:
    GdiState& state_;
    std::lock_guard<std::mutex> lock_;
};

// The screen's dpi from the device profile, 96 when the profile reports nonsense.
int ScreenDpi();
// The colour of a system colour index (with or without SYS_COLOR_INDEX_FLAG); nullopt if unknown.
std::optional<COLORREF> SysColorOf(int index);

}  // namespace qf::device::gdi
