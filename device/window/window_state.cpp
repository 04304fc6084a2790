#include "window/window_state.h"

#include <algorithm>

#include "qfdevice/window_surface.h"
#include "win/strings.h"

namespace qf::device::wm {

bool ClassNameLess::operator()(const std::u16string& a, const std::u16string& b) const {
    return lstrcmpiW(a.c_str(), b.c_str()) < 0;
}

// Owns the calling thread's queue; when the thread ends, its windows go with it (as on the device, without
// messages: there is no thread left to handle them) and senders still waiting on it get 0.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (queue) State::Get().ThreadEnded(queue);
    }
};

namespace {
thread_local QueueHolder current_thread_queue;
}  // namespace

State& State::Get() {
    static State* const state = new State();
    return *state;
}

Window* State::Find(HWND handle) {
    auto it = windows.find(HandleValue(handle));
    return it == windows.end() ? nullptr : it->second.get();
}

Window* State::FindOrFail(HWND handle) {
    Window* window = Find(handle);
    if (window == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

Window* State::FindOwnedOrFail(HWND handle) {
    Window* window = FindOrFail(handle);
    if (window == nullptr) return nullptr;
    if (window->owner != CurrentQueue()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return window;
}

std::shared_ptr<WindowClass> State::FindClass(LPCWSTR name_or_atom) {
    if (name_or_atom == nullptr) return nullptr;
    if (IS_INTRESOURCE(name_or_atom)) {
        auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name_or_atom));
        for (const auto& [name, window_class] : classes) {
            if (window_class->atom == atom) return window_class;
        }
        return nullptr;
    }
    auto it = classes.find(std::u16string(name_or_atom));
    return it == classes.end() ? nullptr : it->second;
}

bool State::IsVisible(const Window& window) {
    for (const Window* w = &window; w != nullptr; w = Find(w->parent)) {
        if ((w->style & WS_VISIBLE) == 0) return false;
    }
    return true;
}

std::shared_ptr<ThreadQueue> State::CurrentQueue() {
    auto& queue = current_thread_queue.queue;
    if (!queue) {
        queue = std::make_shared<ThreadQueue>();
        std::erase_if(queues, [](const std::weak_ptr<ThreadQueue>& q) { return q.expired(); });
        queues.push_back(queue);
    }
    return queue;
}

void State::Wake(ThreadQueue& queue) {
    ++queue.wake_count;
    queue.wake.notify_all();
}

void State::WakeAll() {
    for (const auto& weak : queues) {
        if (auto queue = weak.lock()) Wake(*queue);
    }
}

POINT State::ScreenOrigin(const Window& window) {
    POINT origin{0, 0};
    for (const Window* w = &window; w != nullptr; w = Find(w->parent)) {
        origin.x += w->rect.left;
        origin.y += w->rect.top;
    }
    return origin;
}

std::vector<HWND> State::Subtree(HWND handle) {
    std::vector<HWND> result;
    std::vector<HWND> pending{handle};
    while (!pending.empty()) {
        HWND next = pending.back();
        pending.pop_back();
        Window* window = Find(next);
        if (window == nullptr) continue;
        result.push_back(next);
        // Pushed top first so that the bottom child is visited first.
        pending.insert(pending.end(), window->children.rbegin(), window->children.rend());
    }
    return result;
}

std::vector<HWND> State::Unlink(HWND handle) {
    Window* window = Find(handle);
    if (window == nullptr) return {};
    Window* parent = Find(window->parent);
    std::erase(parent != nullptr ? parent->children : top_levels, handle);
    std::vector<HWND> removed = Subtree(handle);
    for (HWND h : removed) {
        Window* w = Find(h);
        if (foreground == h) foreground = nullptr;
        if (w->owner->focus == h) w->owner->focus = nullptr;
        std::erase_if(w->owner->timers, [h](const Timer& t) { return t.window == h; });
        windows.erase(HandleValue(h));
    }
    return removed;
}

void State::Restack(Window& window, std::size_t position) {
    Window* parent = Find(window.parent);
    std::vector<HWND>& siblings = parent != nullptr ? parent->children : top_levels;
    std::erase(siblings, window.handle);
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(std::min(position, siblings.size())),
                    window.handle);
}

void State::Invalidate(Window& window, const RECT* rect, bool erase) {
    RECT client{0, 0, window.rect.right - window.rect.left, window.rect.bottom - window.rect.top};
    RECT area;
    if (rect == nullptr) {
        area = client;
    } else if (!IntersectRect(&area, rect, &client)) {
        return;
    }
    if (window.needs_paint) {
        UnionRect(&window.update, &window.update, &area);
    } else if (!IsRectEmpty(&area)) {
        window.update = area;
        window.needs_paint = true;
    } else {
        return;
    }
    window.needs_erase = window.needs_erase || erase;
    Wake(*window.owner);
}

UniqueFd State::Finish(SendRequest& request, LRESULT result) {
    if (request.done) return {};
    request.done = true;
    request.result = result;
    if (request.waiter) Wake(*request.waiter);
    return std::move(request.reply_socket);
}

void State::ThreadEnded(const std::shared_ptr<ThreadQueue>& queue) {
    std::vector<HWND> removed;
    std::vector<UniqueFd> replies;
    {
        std::lock_guard lock(mutex);
        std::vector<HWND> owned;
        for (const auto& [value, window] : windows) {
            if (window->owner == queue) owned.push_back(window->handle);
        }
        for (HWND h : owned) {
            std::vector<HWND> gone = Unlink(h);
            removed.insert(removed.end(), gone.begin(), gone.end());
        }
        for (const auto& request : queue->incoming) replies.push_back(Finish(*request, 0));
        queue->incoming.clear();
        queue->posted.clear();
        queue->timers.clear();
    }
    FreeSurfaces(removed);
    for (auto& reply : replies) {
        if (reply) SendReply(std::move(reply), 0);
    }
}

void FreeSurfaces(const std::vector<HWND>& handles) {
    for (HWND h : handles) DestroyWindowSurface(h);
}

}  // namespace qf::device::wm
