#include "window_thread.h"

#include <future>
#include <mutex>
#include <optional>

namespace qf::test {
namespace {

constexpr const WCHAR* kThreadClass = u"QfTestThreadWindow";

LRESULT CALLBACK ThreadWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* handler = reinterpret_cast<ThreadHandler*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (handler != nullptr && *handler)
        if (std::optional<LRESULT> result = (*handler)(window, message, wparam, lparam)) return *result;
    return DefWindowProcW(window, message, wparam, lparam);
}

void RegisterThreadClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = ThreadWindowProc;
        window_class.lpszClassName = kThreadClass;
        RegisterClassW(&window_class);
    });
}

}  // namespace

LRESULT ThreadMarker() {
    thread_local char marker;
    return reinterpret_cast<LRESULT>(&marker);
}

WindowThread::WindowThread(ThreadHandler handler) : handler_(std::move(handler)) {
    RegisterThreadClass();
    std::promise<void> created;
    thread_ = std::thread([this, &created] {
        window_ =
            CreateWindowExW(0, kThreadClass, u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, &handler_);
        marker_ = ThreadMarker();
        created.set_value();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    });
    created.get_future().wait();
}

WindowThread::~WindowThread() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

}  // namespace qf::test
