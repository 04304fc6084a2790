// SendMessageW between processes: the test program starts a second copy of itself that serves one window
// (the disabled test below, enabled only in that child) and talks to it through the window's handle.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "qfdevice/device.h"
#include "support/watchdog.h"
#include "window_test.h"

extern char** environ;

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

// A running child process serving a window.
class ServingChild {
  public:
    explicit ServingChild(const std::filesystem::path& root) {
        int out[2];
        if (::pipe(out) != 0) return;
        std::string variable = std::string(kChildRootVariable) + "=" + root.string();
        std::vector<char*> env;
        for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
        env.push_back(variable.data());
        env.push_back(nullptr);
        std::string program = "/proc/self/exe";
        std::string filter = "--gtest_filter=CrossProcessChild.DISABLED_ServeWindow";
        std::string disabled = "--gtest_also_run_disabled_tests";
        char* argv[] = {program.data(), filter.data(), disabled.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, env.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        output_ = ::fdopen(out[0], "r");
        std::string line = pid_ > 0 ? LineStartingWith("HWND=") : "";
        if (!line.empty()) window_ = reinterpret_cast<HWND>(std::stoul(line.substr(5)));
    }
    ~ServingChild() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
        if (output_ != nullptr) std::fclose(output_);
    }

    HWND window() const { return window_; }
    // Waits for the child to end; answers its exit status (-1 when killed).
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void Kill() { ::kill(pid_, SIGKILL); }
    void Stop() { ::kill(pid_, SIGSTOP); }
    void Continue() { ::kill(pid_, SIGCONT); }
    // Reads the child's output up to a line starting with `prefix`; empty when the output ends first.
    std::string LineStartingWith(const std::string& prefix) {
        char line[256];
        while (std::fgets(line, sizeof line, output_) != nullptr) {
            if (std::string(line).starts_with(prefix)) return line;
        }
        return {};
    }

  private:
    pid_t pid_ = -1;
    FILE* output_ = nullptr;
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
    EXPECT_NE(remote, here);
    EXPECT_TRUE(IsWindow(remote));

    EXPECT_EQ(SendMessageW(remote, kReleaseDatabase, 0, 0), 2);
    // The child's handler sends back to this thread while this thread waits for it.
    EXPECT_EQ(SendMessageW(remote, kPing, reinterpret_cast<WPARAM>(here), 0), 41);

    EXPECT_TRUE(PostMessageW(remote, WM_CLOSE, 0, 0));
    EXPECT_EQ(child.Wait(), 0);
    EXPECT_FALSE(IsWindow(remote));
    EXPECT_EQ(SendMessageW(remote, kReleaseDatabase, 0, 0), 0);
    EXPECT_FALSE(PostMessageW(remote, WM_USER, 0, 0));
}

TEST_F(CrossProcess, AKilledProcessAnswersZeroAtOnce) {
    Watchdog watchdog(60s, "sending to a window of a killed process");
    ServingChild child(device_.root());
    HWND remote = child.window();
    ASSERT_NE(remote, nullptr);
    child.Kill();
    child.Wait();
    EXPECT_EQ(SendMessageW(remote, kReleaseDatabase, 0, 0), 0);
    EXPECT_FALSE(IsWindow(remote));

    // The slot of the dead process is free again, and the next process there hands out new handles.
    ServingChild next(device_.root());
    ASSERT_NE(next.window(), nullptr);
    EXPECT_NE(next.window(), remote);
    EXPECT_FALSE(IsWindow(remote));
    EXPECT_EQ(SendMessageW(next.window(), kReleaseDatabase, 0, 0), 2);
}

TEST_F(CrossProcess, ASenderWaitingOnAProcessThatDiesGetsZero) {
    Watchdog watchdog(60s, "a send in flight when the other process dies");
    ServingChild child(device_.root());
    HWND remote = child.window();
    ASSERT_NE(remote, nullptr);
    LRESULT result = -1;
    std::thread sender([&] { result = SendMessageW(remote, kHang, 0, 0); });
    EXPECT_FALSE(child.LineStartingWith("HANGING").empty());
    child.Kill();
    sender.join();
    EXPECT_EQ(result, 0);
}

TEST_F(CrossProcess, AStoppedProcessMakesASendTimeOut) {
    Watchdog watchdog(60s, "sending to a stopped process");
    ServingChild child(device_.root());
    HWND remote = child.window();
    ASSERT_NE(remote, nullptr);
    child.Stop();
    DWORD_PTR answer = 7;
    EXPECT_FALSE(SendMessageTimeoutW(remote, kReleaseDatabase, 0, 0, SMTO_ABORTIFHUNG, 200, &answer));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(answer, 0u);
    child.Continue();
    EXPECT_TRUE(SendMessageTimeoutW(remote, kReleaseDatabase, 0, 0, SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(answer, 2u);
}

}  // namespace
}  // namespace qf::test
