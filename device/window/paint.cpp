// Invalid areas, WM_PAINT and the DCs of windows, which draw into the windows' surfaces (GDI).
#include "qfdevice/window_surface.h"
#include "window/gdi_calls.h"
#include "window/window_state.h"

using namespace qf::device::wm;

BOOL WINAPI InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    if (window == nullptr) {
        for (const auto& [value, w] : state.windows) State::Invalidate(*w, nullptr, erase != FALSE);
        return TRUE;
    }
    Window* target = state.FindOrFail(window);
    if (target == nullptr) return FALSE;
    State::Invalidate(*target, rect, erase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND window, const RECT* rect) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.FindOrFail(window);
    if (target == nullptr) return FALSE;
    // The invalid area is kept as one rectangle: it goes when `rect` covers it.
    RECT covered;
    if (rect == nullptr || (UnionRect(&covered, rect, &target->update) && EqualRect(&covered, rect))) {
        target->Validate();
    }
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND window, LPRECT rect, BOOL /*erase*/) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.Find(window);
    bool invalid = target != nullptr && target->needs_paint;
    if (rect != nullptr) *rect = invalid ? target->update : RECT{};
    return invalid;
}

BOOL WINAPI UpdateWindow(HWND window) {
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    Window* target = state.FindOrFail(window);
    if (target == nullptr) return FALSE;
    bool paint = target->needs_paint && state.IsVisible(*target);
    lock.unlock();
    if (paint) SendMessageW(window, WM_PAINT, 0, 0);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    if (paint == nullptr) return nullptr;
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    Window* target = state.FindOrFail(window);
    if (target == nullptr) return nullptr;
    *paint = PAINTSTRUCT{};
    paint->rcPaint = target->update;
    bool erase = target->needs_erase;
    target->Validate();
    lock.unlock();

    qf::device::BeginWindowFrame(window);
    paint->hdc = qf::device::AcquireWindowSurfaceDC(window);
    if (erase)
        paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) == 0;
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND /*window*/, const PAINTSTRUCT* paint) {
    if (paint != nullptr && paint->hdc != nullptr) qf::device::ReleaseWindowSurfaceDC(paint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND window) {
    // Code asks the screen DC for its metrics (LOGPIXELSY); nothing composes a drawing made on it.
    if (window == nullptr) return CreateCompatibleDC(nullptr);
    {
        State& state = State::Get();
        std::lock_guard lock(state.mutex);
        if (state.Find(window) == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    }
    return qf::device::AcquireWindowSurfaceDC(window);
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    if (dc == nullptr) return 0;
    if (window == nullptr) return DeleteDC(dc);
    qf::device::ReleaseWindowSurfaceDC(dc);
    return 1;
}
