// Window classes: one table per process, names matched without regard to case.
#include <algorithm>
#include <string>

#include "window/window_state.h"

using namespace qf::device::wm;

namespace {

constexpr ATOM kFirstAtom = 0xC000;

// Lock held. The next atom no registered class uses; 0 when all are taken.
ATOM FreeAtom(State& state) {
    for (int tries = 0; tries <= 0xFFFF - kFirstAtom; ++tries) {
        ATOM atom = state.next_atom;
        state.next_atom = atom == 0xFFFF ? kFirstAtom : static_cast<ATOM>(atom + 1);
        if (state.FindClass(MAKEINTATOM(atom)) == nullptr) return atom;
    }
    return 0;
}

}  // namespace

ATOM WINAPI RegisterClassW(const WNDCLASSW* window_class) {
    if (window_class == nullptr || window_class->lpfnWndProc == nullptr ||
        window_class->lpszClassName == nullptr || IS_INTRESOURCE(window_class->lpszClassName) ||
        window_class->lpszClassName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    std::u16string name(window_class->lpszClassName);
    if (state.classes.contains(name)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    ATOM atom = FreeAtom(state);
    if (atom == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    state.classes.emplace(name, std::make_shared<WindowClass>(
                                    WindowClass{name, atom, window_class->style, window_class->lpfnWndProc,
                                                window_class->hInstance, window_class->hbrBackground}));
    return atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR class_name, HINSTANCE /*instance*/) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    std::shared_ptr<WindowClass> window_class = state.FindClass(class_name);
    if (window_class == nullptr) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (const auto& [value, window] : state.windows) {
        if (window->window_class == window_class) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
    }
    state.classes.erase(window_class->name);
    return TRUE;
}

int WINAPI GetClassNameW(HWND window, LPWSTR class_name, int max_count) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.Find(window);
    if (target == nullptr || class_name == nullptr || max_count <= 0) {
        SetLastError(target == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::u16string& name = target->window_class->name;
    int count = std::min(static_cast<int>(name.size()), max_count - 1);
    name.copy(class_name, static_cast<std::size_t>(count));
    class_name[count] = 0;
    return count;
}
