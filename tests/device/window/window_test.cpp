#include "window_test.h"

#include <cstdio>

#include "fake_window_surface.h"
#include "qfdevice/device.h"
#include "qfdevice/window_manager.h"

namespace qf::test {
namespace {

std::mutex responder_mutex;
Responder responder;

}  // namespace

void PrintTo(const Logged& logged, std::ostream* out) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%04X", logged.message);
    *out << "{" << logged.window << ", " << hex << "}";
}

std::vector<Logged> Sent(HWND window, std::initializer_list<UINT> messages) {
    std::vector<Logged> logged;
    for (UINT message : messages) logged.push_back({window, message});
    return logged;
}

MessageLog& MessageLog::Get() {
    static MessageLog log;
    return log;
}

void MessageLog::Record(HWND window, UINT message) {
    std::lock_guard lock(mutex_);
    entries_.push_back(Logged{window, message});
}

std::vector<Logged> MessageLog::Take(const std::set<UINT>& ignored) {
    std::lock_guard lock(mutex_);
    std::vector<Logged> result;
    for (const Logged& entry : entries_)
        if (!ignored.contains(entry.message)) result.push_back(entry);
    entries_.clear();
    return result;
}

LRESULT CALLBACK LoggingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLog::Get().Record(window, message);
    Responder answer;
    {
        std::lock_guard lock(responder_mutex);
        answer = responder;
    }
    if (answer)
        if (std::optional<LRESULT> result = answer(window, message, wparam, lparam)) return *result;
    return DefWindowProcW(window, message, wparam, lparam);
}

void WindowTest::SetUp() {
    device::PinClock(SYSTEMTIME{2026, 3, 0, 2, 9, 0, 0, 0});
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = LoggingProc;
    window_class.lpszClassName = kLoggingClass;
    ASSERT_NE(RegisterClassW(&window_class), 0);
    ResetSurfaceRecord();
    MessageLog::Get().Take();
}

void WindowTest::TearDown() {
    for (HWND window : device::TopLevelZOrder()) DestroyWindow(window);
    SetResponder(nullptr);
    UnregisterClassW(kLoggingClass, nullptr);
    for (const device::TimerInfo& timer : device::RunningTimers()) KillTimer(timer.window, timer.id);
    while (PeekMessageW(nullptr, nullptr, 0, 0, PM_REMOVE)) {
    }
    device::UnpinClock();
    MessageLog::Get().Take();
}

HWND WindowTest::Create(HWND parent, DWORD style, RECT rect, const WCHAR* name) {
    if (parent != nullptr) style |= WS_CHILD;
    return CreateWindowExW(0, kLoggingClass, name, style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, nullptr, nullptr, nullptr);
}

void WindowTest::SetResponder(Responder new_responder) {
    std::lock_guard lock(responder_mutex);
    responder = std::move(new_responder);
}

}  // namespace qf::test
