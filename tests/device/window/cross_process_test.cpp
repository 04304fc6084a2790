// SendMessageW between processes: the test program starts a second copy of itself that serves one window
// (the disabled test below, enabled only in that child) and talks to it through the window's handle.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "qfdevice/device.h"
#include "support/background_program.h"
#include "support/watchdog.h"
#include "window_test.h"

namespace qf::test {
namespace {

using namespace std::chrono_literals;

constexpr UINT kReleaseDatabase = 0x041E;
constexpr UINT kPing = WM_USER + 1;  // wParam: a window of the sender; answered with its answer + 1
constexpr UINT kPong = WM_USER + 2;
constexpr UINT kHang = WM_USER + 3;  // the child says so on its output and never answers
constexpr const char* kChildRootVariable = "QF_WINDOW_CHILD_ROOT";

LRESULT CALLBACK ServedWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case kReleaseDatabase:
            return 2;
        case kPing:
            return SendMessageW(reinterpret_cast<HWND>(wparam), kPong, 0, 0) + 1;
        case kHang:
            std::printf("HANGING\n");
            std::fflush(stdout);
            for (;;) ::pause();
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

// The child: serves one window in the device root it was given and prints the window's handle.
TEST(CrossProcessChild, DISABLED_ServeWindow) {
    const char* root = std::getenv(kChildRootVariable);
    ASSERT_NE(root, nullptr);
    device::SetDeviceRoot(root);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = ServedWindowProc;
    window_class.lpszClassName = u"QfServed";
    ASSERT_NE(RegisterClassW(&window_class), 0);
    HWND window = CreateWindowExW(0, u"QfServed", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::printf("HWND=%lu\n", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(window)));
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}

// A running copy of this program serving a window; its output goes to files beside the device root.
class ServingChild : public BackgroundProgram {
  public:
    explicit ServingChild(const std::filesystem::path& root)
        : BackgroundProgram({"/proc/self/exe", "--gtest_filter=CrossProcessChild.DISABLED_ServeWindow",
                             "--gtest_also_run_disabled_tests"},
                            {std::string(kChildRootVariable) + "=" + root.string()},
                            root / ("serving-child-" + std::to_string(++children_))) {
        std::string line = LineStartingWith("HWND=");
        if (!line.empty()) window_ = reinterpret_cast<HWND>(std::stoul(line.substr(5)));
    }

    HWND window() const { return window_; }
    // Waits for a whole line of the child's output starting with `prefix`; empty when the child ends first.
    std::string LineStartingWith(const std::string& prefix) {
        while (started()) {
            const std::string out = "\n" + Output();
            const size_t at = out.find("\n" + prefix);
            const size_t end = at == std::string::npos ? at : out.find('\n', at + 1);
            if (end != std::string::npos) return out.substr(at + 1, end - at - 1);
            if (WaitFor(std::chrono::milliseconds(10))) break;
        }
        return {};
    }

  private:
    static inline int children_ = 0;
    HWND window_ = nullptr;
};

using CrossProcess = WindowTest;

TEST_F(CrossProcess, SendWaitsForTheOtherProcessAndStillAnswersWhatItSendsBack) {
    Watchdog watchdog(60s, "sending to a window of another process");
    HWND here = Create();
    SetResponder([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == kPong) return 40;
        return std::nullopt;
    });
    ServingChild child(device_.root());
    HWND remote = child.window();
    ASSERT_NE(remote, nullptr);
    EXPECT_TRUE(remote != here && IsWindow(remote));

    EXPECT_EQ(SendMessageW(remote, kReleaseDatabase, 0, 0), 2);
    // The child's handler sends back to this thread while this thread waits for it.
    EXPECT_EQ(SendMessageW(remote, kPing, reinterpret_cast<WPARAM>(here), 0), 41);

    EXPECT_TRUE(PostMessageW(remote, WM_CLOSE, 0, 0));
    EXPECT_EQ(child.Finish(), 0);
    EXPECT_FALSE(IsWindow(remote) || PostMessageW(remote, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(remote, kReleaseDatabase, 0, 0), 0);
}

TEST_F(CrossProcess, AKilledProcessAnswersZeroAndAStoppedOneTimesOut) {
    Watchdog watchdog(60s, "sending to a killed or stopped process");
    ServingChild child(device_.root());
    HWND remote = child.window();
    ASSERT_NE(remote, nullptr);
    child.Signal(SIGKILL);
    child.Finish();
    EXPECT_EQ(SendMessageW(remote, kReleaseDatabase, 0, 0), 0);
    EXPECT_FALSE(IsWindow(remote));

    // The slot of the dead process is free again, and the next process there hands out new handles.
    ServingChild next(device_.root());
    ASSERT_NE(next.window(), nullptr);
    EXPECT_TRUE(next.window() != remote && !IsWindow(remote));
    EXPECT_EQ(SendMessageW(next.window(), kReleaseDatabase, 0, 0), 2);

    // A stopped process makes a send time out, and answers again once it goes on.
    next.Signal(SIGSTOP);
    DWORD_PTR answer = 7;
    EXPECT_FALSE(SendMessageTimeoutW(next.window(), kReleaseDatabase, 0, 0, SMTO_ABORTIFHUNG, 200, &answer));
    EXPECT_EQ(std::pair(GetLastError(), answer), std::pair(DWORD{ERROR_TIMEOUT}, DWORD_PTR{0}));
    next.Signal(SIGCONT);
    EXPECT_TRUE(SendMessageTimeoutW(next.window(), kReleaseDatabase, 0, 0, SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(answer, 2u);

    // A sender waiting on a process that dies gets 0 too.
    ServingChild dying(device_.root());
    ASSERT_NE(dying.window(), nullptr);
    LRESULT result = -1;
    std::thread sender([&] { result = SendMessageW(dying.window(), kHang, 0, 0); });
    EXPECT_FALSE(dying.LineStartingWith("HANGING").empty());
    dying.Signal(SIGKILL);
    sender.join();
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace qf::test
