// CreateWindowExW and DestroyWindow.
#include <algorithm>

#include "qfdevice/device.h"
#include "qfdevice/window_surface.h"
#include "window/handle_space.h"
#include "window/window_state.h"

using namespace qf::device::wm;

namespace {

// Lock held. A handle no live window of this process uses: a slot taken over from an earlier device root
// (tests switch roots) may hand out values that old windows still hold.
HWND FreshHandle(std::unique_lock<std::mutex>& lock, State& state) {
    for (;;) {
        lock.unlock();
        std::uint32_t value = AllocateHandle();
        lock.lock();
        if (!state.windows.contains(value)) return HandleOf(value);
    }
}

RECT PlacedRect(DWORD style, int x, int y, int width, int height) {
    if ((style & WS_CHILD) == 0 && (x == CW_USEDEFAULT || width == CW_USEDEFAULT)) {
        qf::device::Profile profile = qf::device::CurrentProfile();
        if (x == CW_USEDEFAULT) x = y = 0;
        if (width == CW_USEDEFAULT) {
            width = profile.screen_width;
            height = profile.screen_height;
        }
    }
    return RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
}

}  // namespace

HWND WINAPI CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR window_name, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                            LPVOID param) {
    if ((style & WS_CHILD) != 0 && parent == nullptr) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    RECT rect = PlacedRect(style, x, y, width, height);
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    HWND handle = FreshHandle(lock, state);
    std::shared_ptr<WindowClass> window_class = state.FindClass(class_name);
    if (window_class == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    Window* parent_window = child ? state.Find(parent) : nullptr;
    if (child && parent_window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto window = std::make_shared<Window>();
    window->handle = handle;
    window->parent = child ? parent : nullptr;
    window->window_class = window_class;
    window->owner = state.CurrentQueue();
    window->procedure = window_class->procedure;
    // WS_VISIBLE comes through ShowWindow below, after WM_CREATE, as on the device.
    window->style = style & ~static_cast<DWORD>(WS_VISIBLE);
    window->ex_style = ex_style;
    window->id = child ? reinterpret_cast<LONG_PTR>(menu) : 0;
    window->text = window_name != nullptr ? std::u16string(window_name) : std::u16string();
    window->rect = rect;
    state.windows.emplace(HandleValue(handle), window);
    (child ? parent_window->children : state.top_levels).push_back(handle);
    lock.unlock();

    int client_width = rect.right - rect.left;
    int client_height = rect.bottom - rect.top;
    qf::device::SetWindowSurfaceSize(handle, client_width, client_height);
    CREATESTRUCTW create{param,        instance, menu,      window->parent,           client_height,
                         client_width, rect.top, rect.left, static_cast<LONG>(style), window_name,
                         class_name,   ex_style};
    if (SendMessageW(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!IsWindow(handle)) return nullptr;  // destroyed by its own WM_CREATE
    SendMessageW(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client_width, client_height));
    SendMessageW(handle, WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
    if ((style & WS_VISIBLE) != 0) ShowWindow(handle, SW_SHOW);
    return handle;
}

BOOL WINAPI DestroyWindow(HWND window) {
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    Window* target = state.FindOwnedOrFail(window);
    if (target == nullptr) return FALSE;
    if (target->destroying) return TRUE;  // called again from one of its own WM_DESTROY handlers
    std::vector<HWND> subtree = state.Subtree(window);
    for (HWND h : subtree) state.Find(h)->destroying = true;
    bool had_focus = std::find(subtree.begin(), subtree.end(), target->owner->focus) != subtree.end();
    bool was_foreground = state.foreground == window;
    if (was_foreground) state.foreground = nullptr;
    lock.unlock();

    if (had_focus) SetFocus(nullptr);
    if (was_foreground) SendMessageW(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    for (HWND h : subtree) SendMessageW(h, WM_DESTROY, 0, 0);

    lock.lock();
    std::vector<HWND> removed = state.Unlink(window);
    lock.unlock();
    FreeSurfaces(removed);
    return TRUE;
}
