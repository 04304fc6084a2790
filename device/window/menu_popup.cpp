// The popup windows of a tracked menu: they hand their pen input, keys and paints to the tracker.
#include "window/menu_tracker.h"

namespace qf::device::wm {
namespace {

POINT ClientPoint(LPARAM lparam) { return POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}; }

LRESULT CALLBACK MenuPopupProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MenuTracker& tracker = MenuTracker::Get();
    switch (message) {
        case WM_PAINT:
            tracker.Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the frame and the entries cover the whole window
        case WM_LBUTTONDOWN:
            tracker.PenDown(window, ClientPoint(lparam));
            return 0;
        case WM_MOUSEMOVE:
            tracker.PenMove(window, ClientPoint(lparam));
            return 0;
        case WM_LBUTTONUP:
            tracker.PenUp(window, ClientPoint(lparam));
            return 0;
        case WM_KEYDOWN:
            tracker.Key(window, static_cast<UINT>(wparam));
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

bool EnsureMenuPopupClass() {
    static const bool registered = [] {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = MenuPopupProc;
        window_class.lpszClassName = kMenuPopupClass;
        return RegisterClassW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace qf::device::wm
