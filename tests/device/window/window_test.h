// Shared by the window manager tests: a log of the messages windows get (as Wine's user32 tests keep
// one), a class whose procedure writes to it, and a fixture that gives each test a fresh device, a
// pinned clock and no windows left behind.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "support/temp_device.h"
#include "windows.h"

namespace qf::test {

struct Logged {
    HWND window;
    UINT message;
    bool operator==(const Logged&) const = default;
};
void PrintTo(const Logged& logged, std::ostream* out);
// The log entries of `messages` all sent to `window`, in order.
std::vector<Logged> Sent(HWND window, std::initializer_list<UINT> messages);

// Any thread.
class MessageLog {
  public:
    static MessageLog& Get();
    void Record(HWND window, UINT message);
    // The messages logged so far, leaving out the ones in `ignored`, and clears the log.
    std::vector<Logged> Take(const std::set<UINT>& ignored = {});

  private:
    std::mutex mutex_;
    std::vector<Logged> entries_;
};

// Answers a message in place of DefWindowProcW when it returns a value. Set on the test thread before
// any other thread can call a logging window.
using Responder = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

// Logs every message, then lets the fixture's responder answer or passes it to DefWindowProcW.
LRESULT CALLBACK LoggingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

inline constexpr const WCHAR* kLoggingClass = u"QfTestLogging";

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Any thread. A window of the logging class (WS_CHILD when `parent` is set).
    static HWND Create(HWND parent = nullptr, DWORD style = 0, RECT rect = {0, 0, 100, 50},
                       const WCHAR* name = u"");
    static void SetResponder(Responder responder);

    TempDevice device_;
};

}  // namespace qf::test
