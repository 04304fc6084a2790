// DefWindowProcW: what a window does with the messages its procedure passes on.
#include <algorithm>
#include <string>

#include "window/gdi_calls.h"
#include "window/window_state.h"

using namespace qf::device::wm;

namespace {

LRESULT EraseWithClassBrush(HWND window, HDC dc) {
    HBRUSH brush = nullptr;
    {
        State& state = State::Get();
        std::lock_guard lock(state.mutex);
        if (Window* target = state.Find(window)) brush = target->window_class->background;
    }
    RECT client;
    if (brush == nullptr || dc == nullptr || !GetClientRect(window, &client)) return 0;
    FillRect(dc, &client, brush);
    return 1;
}

LRESULT SizeAndMove(HWND window, const WINDOWPOS* pos) {
    if (pos == nullptr) return 0;
    if ((pos->flags & SWP_NOSIZE) == 0) {
        SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(pos->cx, pos->cy));
    }
    if ((pos->flags & SWP_NOMOVE) == 0) SendMessageW(window, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
    return 0;
}

LRESULT TextMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.Find(window);
    if (target == nullptr) return 0;
    switch (message) {
        case WM_SETTEXT: {
            auto text = reinterpret_cast<LPCWSTR>(lparam);
            target->text = text != nullptr ? std::u16string(text) : std::u16string();
            return TRUE;
        }
        case WM_GETTEXT: {
            auto buffer = reinterpret_cast<LPWSTR>(lparam);
            if (buffer == nullptr || wparam == 0) return 0;
            std::size_t count = std::min(target->text.size(), static_cast<std::size_t>(wparam) - 1);
            target->text.copy(buffer, count);
            buffer[count] = 0;
            return static_cast<LRESULT>(count);
        }
        default:  // WM_GETTEXTLENGTH
            return static_cast<LRESULT>(target->text.size());
    }
}

}  // namespace

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return EraseWithClassBrush(window, reinterpret_cast<HDC>(wparam));
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_WINDOWPOSCHANGED:
            return SizeAndMove(window, reinterpret_cast<const WINDOWPOS*>(lparam));
        case WM_SETTEXT:
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            return TextMessage(window, message, wparam, lparam);
        case WM_ACTIVATE:
            if (LOWORD(wparam) != WA_INACTIVE) SetFocus(window);
            return 0;
        default:
            return 0;
    }
}
