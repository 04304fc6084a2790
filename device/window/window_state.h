// The window manager's process-wide state: classes, windows, and one message queue per thread. One mutex
// guards all of it; window procedures are always called with it released. Sys clock functions are never
// called while it is held, because the clock calls back into the window manager on every step.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "win/window.h"
#include "window/unique_fd.h"

namespace qf::device::wm {

struct WindowClass {
    std::u16string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
};

struct ThreadQueue;

// A SendMessageW waiting for the owner thread of its window. Exactly one of `waiter` (a thread of this
// process) and `reply_socket` (a sender in another process) is set.
struct SendRequest {
    HWND target = nullptr;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    bool done = false;
    LRESULT result = 0;
    std::shared_ptr<ThreadQueue> waiter;
    UniqueFd reply_socket;
};

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT period_ms = 0;
    std::int64_t due_ms = 0;  // DeviceUptimeMs() of the next tick
    TIMERPROC procedure = nullptr;
    std::uint64_t order = 0;  // creation order: breaks ties between timers due at the same time
};

struct ThreadQueue {
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SendRequest>> incoming;
    std::vector<Timer> timers;
    bool quit_pending = false;
    int quit_code = 0;
    HWND focus = nullptr;
    POINT last_message_pos{};
    // Bumped (under the mutex) by everything that may give the thread work, so that a waiting thread
    // never misses a wake-up that arrived between its last look and its wait.
    std::uint64_t wake_count = 0;
    std::condition_variable wake;
};

struct Window {
    HWND handle = nullptr;
    HWND parent = nullptr;
    std::shared_ptr<const WindowClass> window_class;
    std::shared_ptr<ThreadQueue> owner;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    LONG_PTR user_data = 0;
    LONG_PTR id = 0;
    std::u16string text;
    RECT rect{};                 // in the parent's client coordinates; screen coordinates for a top-level
    std::vector<HWND> children;  // bottom of the z-order first
    RECT update{};               // bounding rectangle of the invalid area
    bool needs_paint = false;
    bool needs_erase = false;
    bool destroying = false;

    void Validate() {
        update = RECT{};
        needs_paint = needs_erase = false;
    }
};

struct ClassNameLess {
    bool operator()(const std::u16string& a, const std::u16string& b) const;
};

class State {
  public:
    // The one state of the process. Never destroyed, so that thread exits and late callers during
    // process exit still find it.
    static State& Get();

    std::mutex mutex;
    std::map<std::uint32_t, std::shared_ptr<Window>> windows;  // by handle value
    std::vector<HWND> top_levels;                              // bottom of the z-order first
    std::map<std::u16string, std::shared_ptr<WindowClass>, ClassNameLess> classes;
    ATOM next_atom = 0xC000;
    std::vector<std::weak_ptr<ThreadQueue>> queues;
    HWND foreground = nullptr;
    POINT pen_position{};
    UINT_PTR next_thread_timer_id = 1;
    std::uint64_t next_timer_order = 0;

    // ---- Everything below: the mutex held. ----

    // The live window, or null.
    Window* Find(HWND handle);
    // The live window, or null with the last error ERROR_INVALID_WINDOW_HANDLE.
    Window* FindOrFail(HWND handle);
    // The live window when the calling thread owns it; else null with the last error
    // ERROR_INVALID_WINDOW_HANDLE (no such window) or ERROR_ACCESS_DENIED (another thread's).
    Window* FindOwnedOrFail(HWND handle);
    // The class named by a string or an atom (MAKEINTATOM), or null.
    std::shared_ptr<WindowClass> FindClass(LPCWSTR name_or_atom);
    // The window and all of its ancestors have WS_VISIBLE.
    bool IsVisible(const Window& window);
    // The calling thread's queue, created on first use.
    std::shared_ptr<ThreadQueue> CurrentQueue();
    // Wakes the queue's thread (see ThreadQueue::wake_count).
    static void Wake(ThreadQueue& queue);
    void WakeAll();
    // Client origin of the window in screen coordinates.
    POINT ScreenOrigin(const Window& window);
    // The window and its descendants, parents first, children bottom to top.
    std::vector<HWND> Subtree(HWND handle);
    // Removes the window and its descendants from every table (z-order lists, foreground, focus, their
    // timers); answers the handles removed, for their surfaces to be freed once the mutex is released.
    std::vector<HWND> Unlink(HWND handle);
    // Detaches the window from its parent's child list or the top-level list and puts it back at
    // `position` (an index from the bottom; past the end means on top).
    void Restack(Window& window, std::size_t position);
    // Adds `rect` (client coordinates, null: all) to the window's invalid area and wakes its thread.
    static void Invalidate(Window& window, const RECT* rect, bool erase);
    // Ends a send: stores the result and wakes the sender. Answers the socket a remote sender waits on
    // (the reply is written with the mutex released), or an empty one.
    static UniqueFd Finish(SendRequest& request, LRESULT result);

  private:
    State() = default;
    void ThreadEnded(const std::shared_ptr<ThreadQueue>& queue);
    friend struct QueueHolder;
};

// Handles as numbers: values above 31 bits are never window handles.
inline std::uint32_t HandleValue(HWND handle) {
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    return value > 0x7FFFFFFFu ? 0 : static_cast<std::uint32_t>(value);
}
inline HWND HandleOf(std::uint32_t value) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

// Frees the surfaces of windows that Unlink removed. Mutex released.
void FreeSurfaces(const std::vector<HWND>& handles);
// Writes a remote sender's reply (see State::Finish). Mutex released.
void SendReply(UniqueFd socket, LRESULT result);

}  // namespace qf::device::wm
