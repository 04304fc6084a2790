// Window longs, window texts, IsWindow and FindWindowW.
#include <optional>

#include "win/strings.h"
#include "window/handle_space.h"
#include "window/messaging.h"
#include "window/process_link.h"
#include "window/window_state.h"

using namespace qf::device::wm;

namespace {

// Reads a window long and, when `value` is given, replaces it; answers the previous value, or nullopt
// (with the last error set) for an unknown window or index.
std::optional<LONG_PTR> ExchangeLong(HWND window, int index, std::optional<LONG_PTR> value) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.FindOrFail(window);
    if (target == nullptr) return std::nullopt;
    LONG_PTR previous = 0;
    switch (index) {
        case GWL_STYLE:
            previous = static_cast<LONG>(target->style);
            if (value) target->style = static_cast<DWORD>(*value);
            break;
        case GWL_EXSTYLE:
            previous = static_cast<LONG>(target->ex_style);
            if (value) target->ex_style = static_cast<DWORD>(*value);
            break;
        case GWL_USERDATA:
            previous = target->user_data;
            if (value) target->user_data = *value;
            break;
        case GWL_ID:
            previous = target->id;
            if (value) target->id = *value;
            break;
        case GWL_WNDPROC:
            previous = reinterpret_cast<LONG_PTR>(target->procedure);
            if (value) target->procedure = reinterpret_cast<WNDPROC>(*value);
            break;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return std::nullopt;
    }
    return previous;
}

// The 32-bit forms cannot carry a procedure address, as on a 64-bit device.
std::optional<LONG_PTR> ExchangeLong32(HWND window, int index, std::optional<LONG_PTR> value) {
    if (index == GWL_WNDPROC) {
        SetLastError(ERROR_INVALID_INDEX);
        return std::nullopt;
    }
    return ExchangeLong(window, index, value);
}

bool ClassMatches(LPCWSTR class_name, const WindowClass& window_class) {
    if (class_name == nullptr) return true;
    if (IS_INTRESOURCE(class_name)) return reinterpret_cast<ULONG_PTR>(class_name) == window_class.atom;
    return lstrcmpiW(class_name, window_class.name.c_str()) == 0;
}

}  // namespace

LONG WINAPI GetWindowLongW(HWND window, int index) {
    return static_cast<LONG>(ExchangeLong32(window, index, std::nullopt).value_or(0));
}

LONG WINAPI SetWindowLongW(HWND window, int index, LONG value) {
    return static_cast<LONG>(ExchangeLong32(window, index, value).value_or(0));
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index) {
    return ExchangeLong(window, index, std::nullopt).value_or(0);
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    return ExchangeLong(window, index, value).value_or(0);
}

// The text messages carry pointers, which mean nothing in another process: local windows only.
BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text) {
    if (!IsLocalWindow(window)) return FALSE;
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int WINAPI GetWindowTextW(HWND window, LPWSTR text, int max_count) {
    if (text == nullptr || max_count <= 0 || !IsLocalWindow(window)) return 0;
    return static_cast<int>(
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(max_count), reinterpret_cast<LPARAM>(text)));
}

int WINAPI GetWindowTextLengthW(HWND window) {
    if (!IsLocalWindow(window)) return 0;
    return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI IsWindow(HWND window) {
    if (IsLocalWindow(window)) return TRUE;
    return SlotOfHandle(HandleValue(window)) != 0 &&
           CallRemoteWindow(RemoteOp::kIsWindow, window, 0, 0, 0) != 0;
}

HWND WINAPI FindWindowW(LPCWSTR class_name, LPCWSTR window_name) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    for (auto it = state.top_levels.rbegin(); it != state.top_levels.rend(); ++it) {
        Window* window = state.Find(*it);
        if (!ClassMatches(class_name, *window->window_class)) continue;
        if (window_name != nullptr && lstrcmpiW(window_name, window->text.c_str()) != 0) continue;
        return *it;
    }
    return nullptr;
}
