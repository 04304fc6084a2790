// Position, size, stacking and visibility of windows, and coordinate conversions.
#include <algorithm>
#include <optional>

#include "qfdevice/window_surface.h"
#include "window/window_state.h"

using namespace qf::device::wm;

namespace {

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

// Lock held. Where SetWindowPos puts the window among its siblings (an index from the bottom of the list
// without the window); nullopt when `insert_after` is neither a special value nor a sibling.
std::optional<std::size_t> StackPosition(State& state, const Window& window, HWND insert_after) {
    Window* parent = state.Find(window.parent);
    std::vector<HWND> siblings = parent != nullptr ? parent->children : state.top_levels;
    std::erase(siblings, window.handle);
    if (insert_after == HWND_TOP || insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST) {
        return siblings.size();
    }
    if (insert_after == HWND_BOTTOM) return 0;
    auto above = std::find(siblings.begin(), siblings.end(), insert_after);
    if (above == siblings.end()) return std::nullopt;
    // "Insert after" in z-order terms: directly below `insert_after`.
    return static_cast<std::size_t>(above - siblings.begin());
}

// Lock held. Restacks the window; answers whether its place changed.
bool Restack(State& state, Window& window, HWND insert_after) {
    std::optional<std::size_t> position = StackPosition(state, window, insert_after);
    if (!position) return false;
    Window* parent = state.Find(window.parent);
    const std::vector<HWND>& siblings = parent != nullptr ? parent->children : state.top_levels;
    std::vector<HWND> before = siblings;
    state.Restack(window, *position);
    return before != siblings;
}

// Lock held. After a resize: the whole window for a class that redraws on that change, else only the area
// that grew (the surface keeps the rest).
void InvalidateResized(Window& window, const RECT& old) {
    const RECT& now = window.rect;
    UINT class_style = window.window_class->style;
    if ((Width(now) != Width(old) && (class_style & CS_HREDRAW) != 0) ||
        (Height(now) != Height(old) && (class_style & CS_VREDRAW) != 0)) {
        State::Invalidate(window, nullptr, true);
        return;
    }
    RECT right{Width(old), 0, Width(now), Height(now)};
    RECT bottom{0, Height(old), Width(now), Height(now)};
    State::Invalidate(window, &right, true);
    State::Invalidate(window, &bottom, true);
}

bool IsActivatingShow(int command) {
    return command == SW_SHOWNORMAL || command == SW_SHOW || command == SW_SHOWMAXIMIZED ||
           command == SW_RESTORE || command == SW_SHOWDEFAULT;
}

// The topmost visible window containing `point` among `candidates` (bottom first) and their descendants.
HWND HitTest(State& state, const std::vector<HWND>& candidates, POINT point) {
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
        Window* window = state.Find(*it);
        if (window == nullptr || (window->style & WS_VISIBLE) == 0) continue;
        POINT origin = state.ScreenOrigin(*window);
        RECT screen{origin.x, origin.y, origin.x + Width(window->rect), origin.y + Height(window->rect)};
        if (!PtInRect(&screen, point)) continue;
        HWND child = HitTest(state, window->children, point);
        return child != nullptr ? child : *it;
    }
    return nullptr;
}

}  // namespace

BOOL WINAPI SetWindowPos(HWND window, HWND insert_after, int x, int y, int width, int height, UINT flags) {
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    Window* target = state.FindOwnedOrFail(window);
    if (target == nullptr) return FALSE;
    const RECT old = target->rect;
    RECT rect = old;
    if ((flags & SWP_NOMOVE) == 0) rect = RECT{x, y, x + Width(old), y + Height(old)};
    if ((flags & SWP_NOSIZE) == 0) {
        rect.right = rect.left + std::max(width, 0);
        rect.bottom = rect.top + std::max(height, 0);
    }
    bool moved = rect.left != old.left || rect.top != old.top;
    bool sized = Width(rect) != Width(old) || Height(rect) != Height(old);
    bool restacked = (flags & SWP_NOZORDER) == 0 && Restack(state, *target, insert_after);
    bool was_visible = (target->style & WS_VISIBLE) != 0;
    bool shown = (flags & SWP_SHOWWINDOW) != 0 && !was_visible;
    bool hidden = (flags & SWP_HIDEWINDOW) != 0 && was_visible;
    target->rect = rect;
    if (shown) target->style |= WS_VISIBLE;
    if (hidden) target->style &= ~static_cast<DWORD>(WS_VISIBLE);
    if ((flags & SWP_NOREDRAW) == 0) {
        if (shown) State::Invalidate(*target, nullptr, true);
        if (sized) InvalidateResized(*target, old);
    }
    bool top_level = target->parent == nullptr;
    bool activate = top_level && (flags & SWP_NOACTIVATE) == 0 && ((flags & SWP_NOZORDER) == 0 || shown) &&
                    (target->style & WS_VISIBLE) != 0;
    bool deactivate = hidden && state.foreground == window;
    if (deactivate) state.foreground = nullptr;
    lock.unlock();

    if (sized) qf::device::SetWindowSurfaceSize(window, Width(rect), Height(rect));
    if (moved || sized || restacked || shown || hidden) {
        UINT reported = flags & ~static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW |
                                                   SWP_HIDEWINDOW);
        reported |= (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE) | (restacked ? 0 : SWP_NOZORDER) |
                    (shown ? SWP_SHOWWINDOW : 0) | (hidden ? SWP_HIDEWINDOW : 0);
        WINDOWPOS pos{window, insert_after, rect.left, rect.top, Width(rect), Height(rect), reported};
        SendMessageW(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    }
    if (deactivate) SendMessageW(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    if (activate) SetForegroundWindow(window);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI BringWindowToTop(HWND window) {
    return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    Window* target = state.FindOwnedOrFail(window);
    if (target == nullptr) return FALSE;
    bool was_visible = (target->style & WS_VISIBLE) != 0;
    bool top_level = target->parent == nullptr;
    lock.unlock();

    bool show = command != SW_HIDE;
    if (show != was_visible) SendMessageW(window, WM_SHOWWINDOW, show, 0);
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (!top_level || !show || !IsActivatingShow(command)) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, flags);
    return was_visible;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.Find(window);
    return target != nullptr && state.IsVisible(*target);
}

HWND WINAPI GetParent(HWND window) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.Find(window);
    return target != nullptr ? target->parent : nullptr;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.Find(window);
    if (target == nullptr || rect == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *rect = RECT{0, 0, Width(target->rect), Height(target->rect)};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.Find(window);
    if (target == nullptr || rect == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT origin = state.ScreenOrigin(*target);
    *rect = RECT{origin.x, origin.y, origin.x + Width(target->rect), origin.y + Height(target->rect)};
    return TRUE;
}

namespace {

BOOL ShiftByOrigin(HWND window, LPPOINT point, int sign) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.Find(window);
    if (target == nullptr || point == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    POINT origin = state.ScreenOrigin(*target);
    point->x += sign * origin.x;
    point->y += sign * origin.y;
    return TRUE;
}

}  // namespace

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) { return ShiftByOrigin(window, point, 1); }

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point) { return ShiftByOrigin(window, point, -1); }

HWND WINAPI WindowFromPoint(POINT point) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    return HitTest(state, state.top_levels, point);
}
