// Keyboard focus (per thread) and the foreground window (per process).
#include "window/window_state.h"

using namespace qf::device::wm;

HWND WINAPI SetFocus(HWND window) {
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    std::shared_ptr<ThreadQueue> queue = state.CurrentQueue();
    if (window != nullptr) {
        if (state.FindOwnedOrFail(window) == nullptr) return nullptr;
    }
    HWND previous = queue->focus;
    if (previous == window) return previous;
    queue->focus = window;
    bool previous_lives = state.Find(previous) != nullptr;
    lock.unlock();

    if (previous_lives) SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window != nullptr) SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND WINAPI GetFocus() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    return state.CurrentQueue()->focus;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    Window* target = state.Find(window);
    while (target != nullptr && target->parent != nullptr) target = state.Find(target->parent);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    HWND activated = target->handle;
    HWND previous = state.foreground;
    state.Restack(*target, state.top_levels.size());
    if (previous == activated) return TRUE;
    state.foreground = activated;
    bool previous_lives = state.Find(previous) != nullptr;
    lock.unlock();

    if (previous_lives) {
        SendMessageW(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(activated));
    }
    SendMessageW(activated, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(previous));
    return TRUE;
}

HWND WINAPI GetForegroundWindow() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    return state.foreground;
}
