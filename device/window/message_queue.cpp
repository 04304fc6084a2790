// Posting and retrieving: PostMessageW, GetMessageW, PeekMessageW, DispatchMessageW and their helpers.
#include <algorithm>
#include <chrono>
#include <optional>

#include "qfdevice/device.h"
#include "window/handle_space.h"
#include "window/messaging.h"
#include "window/process_link.h"
#include "window/timer_schedule.h"

namespace qf::device::wm {
namespace {

// The longest a waiting thread sleeps before it looks at the clock again. A pinned clock moves only
// through steps, which wake every queue, so this bounds only the cost of a step that raced the wait.
constexpr std::int64_t kMaxTimerWaitMs = 1000;

struct Filter {
    HWND window = nullptr;  // null: any; else the window or one of its descendants
    UINT min = 0;
    UINT max = 0;

    bool Matches(State& state, HWND target, UINT message) const {
        if ((min != 0 || max != 0) && (message < min || message > max)) return false;
        if (window == nullptr) return true;
        for (Window* w = state.Find(target); w != nullptr; w = state.Find(w->parent)) {
            if (w->handle == window) return true;
        }
        return false;
    }
};

// Lock held. The next message of the queue in the device's order of precedence; `remove` takes it out
// (a WM_PAINT stays until the window is validated).
std::optional<MSG> TakeMessage(State& state, ThreadQueue& queue, const Filter& filter, bool remove,
                               std::int64_t now_ms) {
    auto posted = std::find_if(queue.posted.begin(), queue.posted.end(),
                               [&](const MSG& m) { return filter.Matches(state, m.hwnd, m.message); });
    if (posted != queue.posted.end()) {
        MSG msg = *posted;
        if (remove) queue.posted.erase(posted);
        return msg;
    }
    MSG generated{nullptr, 0, 0, 0, static_cast<DWORD>(now_ms), state.pen_position};
    if (queue.quit_pending) {
        generated.message = WM_QUIT;
        generated.wParam = static_cast<WPARAM>(queue.quit_code);
        if (remove) queue.quit_pending = false;
        return generated;
    }
    for (const auto& [value, window] : state.windows) {
        if (window->owner.get() == &queue && window->needs_paint && state.IsVisible(*window) &&
            filter.Matches(state, window->handle, WM_PAINT)) {
            generated.hwnd = window->handle;
            generated.message = WM_PAINT;
            return generated;
        }
    }
    int due = NextDueTimer(queue.timers, now_ms,
                           [&](const Timer& t) { return filter.Matches(state, t.window, WM_TIMER); });
    if (due < 0) return std::nullopt;
    Timer& timer = queue.timers[due];
    generated.hwnd = timer.window;
    generated.message = WM_TIMER;
    generated.wParam = timer.id;
    generated.lParam = reinterpret_cast<LPARAM>(timer.procedure);
    if (remove) timer.due_ms += timer.period_ms;
    return generated;
}

enum class Wait { kNo, kYes };

// 1 with a message, 0 without (only when not waiting), -1 for a filter window that does not exist.
int Retrieve(MSG* out, const Filter& filter, bool remove, Wait wait) {
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    if (filter.window != nullptr && state.Find(filter.window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    std::shared_ptr<ThreadQueue> queue = state.CurrentQueue();
    auto eligible = [&](const Timer& t) { return filter.Matches(state, t.window, WM_TIMER); };
    for (;;) {
        std::uint64_t seen = queue->wake_count;
        // The clock is read unlocked (see window_state.h); a step meanwhile shows up in wake_count.
        lock.unlock();
        std::int64_t now_ms = DeviceUptimeMs();
        lock.lock();
        ReceiveSentMessages(lock, *queue);
        if (std::optional<MSG> msg = TakeMessage(state, *queue, filter, remove, now_ms)) {
            queue->last_message_pos = msg->pt;
            if (out != nullptr) *out = *msg;
            return 1;
        }
        if (wait == Wait::kNo) return 0;
        auto woken = [&] { return queue->wake_count != seen; };
        if (std::optional<std::int64_t> due = EarliestDue(queue->timers, eligible)) {
            std::int64_t delay_ms = std::clamp<std::int64_t>(*due - now_ms, 1, kMaxTimerWaitMs);
            queue->wake.wait_for(lock, std::chrono::milliseconds(delay_ms), woken);
        } else {
            queue->wake.wait(lock, woken);
        }
    }
}

bool IsPenMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }

// Characters that a key types without a shift state.
std::optional<WCHAR> TypedCharacter(WPARAM key) {
    if (key >= 'A' && key <= 'Z') return static_cast<WCHAR>(key - 'A' + 'a');
    if (key >= '0' && key <= '9') return static_cast<WCHAR>(key);
    switch (key) {
        case VK_SPACE:
            return u' ';
        case VK_RETURN:
            return u'\r';
        case VK_BACK:
            return u'\b';
        case VK_TAB:
            return u'\t';
        case VK_ESCAPE:
            return static_cast<WCHAR>(0x1B);
        default:
            return std::nullopt;
    }
}

}  // namespace

bool PostToLocalWindow(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::int64_t now_ms = DeviceUptimeMs();
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    Window* target = state.Find(window);
    if (target == nullptr) return false;
    if (IsPenMessage(message)) {
        // The pen position of later messages: where this one touched, in screen coordinates.
        POINT origin = state.ScreenOrigin(*target);
        state.pen_position = POINT{origin.x + GET_X_LPARAM(lparam), origin.y + GET_Y_LPARAM(lparam)};
    }
    target->owner->posted.push_back(
        MSG{window, message, wparam, lparam, static_cast<DWORD>(now_ms), state.pen_position});
    State::Wake(*target->owner);
    return true;
}

}  // namespace qf::device::wm

using namespace qf::device::wm;

BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window == nullptr) {
        std::int64_t now_ms = qf::device::DeviceUptimeMs();
        State& state = State::Get();
        std::lock_guard lock(state.mutex);
        std::shared_ptr<ThreadQueue> queue = state.CurrentQueue();
        queue->posted.push_back(
            MSG{nullptr, message, wparam, lparam, static_cast<DWORD>(now_ms), state.pen_position});
        State::Wake(*queue);
        return TRUE;
    }
    if (window == HWND_BROADCAST) {
        std::vector<HWND> top_levels;
        {
            State& state = State::Get();
            std::lock_guard lock(state.mutex);
            top_levels = state.top_levels;
        }
        for (HWND top_level : top_levels) PostToLocalWindow(top_level, message, wparam, lparam);
        return TRUE;
    }
    if (PostToLocalWindow(window, message, wparam, lparam)) return TRUE;
    if (SlotOfHandle(HandleValue(window)) == 0 ||
        CallRemoteWindow(RemoteOp::kPost, window, message, wparam, lparam) == 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

void WINAPI PostQuitMessage(int exit_code) {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    std::shared_ptr<ThreadQueue> queue = state.CurrentQueue();
    queue->quit_pending = true;
    queue->quit_code = exit_code;
    State::Wake(*queue);
}

BOOL WINAPI GetMessageW(LPMSG msg, HWND window, UINT filter_min, UINT filter_max) {
    MSG taken{};
    if (Retrieve(&taken, Filter{window, filter_min, filter_max}, true, Wait::kYes) < 0) return -1;
    if (msg != nullptr) *msg = taken;
    return taken.message != WM_QUIT;
}

BOOL WINAPI PeekMessageW(LPMSG msg, HWND window, UINT filter_min, UINT filter_max, UINT remove_flags) {
    return Retrieve(msg, Filter{window, filter_min, filter_max}, (remove_flags & PM_REMOVE) != 0, Wait::kNo) >
           0;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->message != WM_KEYDOWN) return FALSE;
    std::optional<WCHAR> typed = TypedCharacter(msg->wParam);
    if (!typed) return FALSE;
    return PostMessageW(msg->hwnd, WM_CHAR, *typed, msg->lParam);
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    if (msg == nullptr) return 0;
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (msg->hwnd == nullptr) return 0;
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    Window* window = state.FindOwnedOrFail(msg->hwnd);
    if (window == nullptr) return 0;
    WNDPROC procedure = window->procedure;
    lock.unlock();
    LRESULT result = procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        // A procedure that did not paint must not get the same WM_PAINT forever.
        lock.lock();
        if (Window* painted = state.Find(msg->hwnd)) painted->Validate();
    }
    return result;
}

DWORD WINAPI GetMessagePos() {
    State& state = State::Get();
    std::lock_guard lock(state.mutex);
    POINT pos = state.CurrentQueue()->last_message_pos;
    return static_cast<DWORD>(MAKELONG(pos.x, pos.y));
}
