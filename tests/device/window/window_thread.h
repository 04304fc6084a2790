// A window that lives on a thread of its own, running the usual GetMessageW loop until it is closed.
#pragma once

#include <functional>
#include <optional>
#include <thread>

#include "windows.h"

namespace qf::test {

// Answers a message in place of DefWindowProcW when it returns a value. Runs on the window's thread.
using ThreadHandler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

class WindowThread {
  public:
    // Starts the thread and returns once its window exists.
    explicit WindowThread(ThreadHandler handler);
    // Closes the window (WM_CLOSE) and joins the thread.
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND window() const { return window_; }
    // Marks the messages handled on this thread (see ThreadMarker()).
    LRESULT marker() const { return marker_; }

  private:
    ThreadHandler handler_;
    HWND window_ = nullptr;
    LRESULT marker_ = 0;
    std::thread thread_;
};

// A value unique to the calling thread while it lives.
LRESULT ThreadMarker();

}  // namespace qf::test
