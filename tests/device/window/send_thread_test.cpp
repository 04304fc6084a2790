#include <atomic>
#include <barrier>
#include <future>
#include <thread>

#include "support/watchdog.h"
#include "window_test.h"
#include "window_thread.h"

namespace qf::test {
namespace {

using SendAcrossThreads = WindowTest;
using namespace std::chrono_literals;

constexpr UINT kDouble = WM_USER + 10;
constexpr UINT kPeerDone = WM_USER + 11;

// Each side sends to the other's window while the other sends to it, many times over: a thread waiting
// in SendMessageW must handle what is sent to it, or both would wait forever.
TEST_F(SendAcrossThreads, TwoThreadsSendingToEachOtherAtOnceNeverDeadlock) {
    Watchdog watchdog(60s, "two threads sending to each other");
    constexpr int kRounds = 300;
    std::atomic<int> wrong_answers{0};
    HWND windows[2] = {};
    std::barrier ready(2);
    SetResponder([](HWND, UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message == kDouble) return static_cast<LRESULT>(wparam * 2);
        return std::nullopt;
    });
    auto side = [&](int me) {
        bool peer_done = false;
        windows[me] = Create();
        ready.arrive_and_wait();
        HWND peer = windows[1 - me];
        for (int i = 0; i < kRounds; ++i)
            if (SendMessageW(peer, kDouble, static_cast<WPARAM>(i), 0) != 2 * i) ++wrong_answers;
        PostMessageW(peer, kPeerDone, 0, 0);
        // Keep answering until the peer has its answers too.
        MSG msg;
        while (!peer_done && GetMessageW(&msg, nullptr, 0, 0) > 0) peer_done = msg.message == kPeerDone;
        ready.arrive_and_wait();
        DestroyWindow(windows[me]);
    };
    std::thread other(side, 1);
    side(0);
    other.join();
    EXPECT_EQ(wrong_answers, 0);
}

TEST_F(SendAcrossThreads, HandlerRunsOnTheOwnerThreadAndMaySendBackTimersAndDestroyStayThere) {
    Watchdog watchdog(30s, "nested send between threads");
    HWND here = Create();
    SetResponder([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER + 5) return ThreadMarker();
        return std::nullopt;
    });
    WindowThread worker([here](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER) return ThreadMarker();
        // Sends back to the thread that is waiting for this very handler.
        if (message == WM_USER + 1) return SendMessageW(here, WM_USER + 5, 0, 0);
        return std::nullopt;
    });
    EXPECT_EQ(SendMessageW(worker.window(), WM_USER, 0, 0), worker.marker());
    EXPECT_EQ(SendMessageW(worker.window(), WM_USER + 1, 0, 0), ThreadMarker());
    // Messages sent in along the way are not left in the queue.
    EXPECT_FALSE(PeekMessageW(nullptr, nullptr, 0, 0, PM_NOREMOVE));

    // Timers and destroying belong to the owner thread.
    EXPECT_EQ(SetTimer(worker.window(), 1, 100, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_ACCESS_DENIED});
    EXPECT_FALSE(DestroyWindow(worker.window()));
}

// The sender must not wait for ever on a thread that ends without looking at its queue again. Whether
// the send is queued before the thread ends or finds the window gone, the answer is 0.
TEST_F(SendAcrossThreads, SendingToAThreadThatEndsWithoutAnsweringGivesZero) {
    Watchdog watchdog(30s, "a send to a thread that ends");
    std::promise<HWND> created;
    std::promise<void> may_end;
    std::thread owner([&] {
        created.set_value(Create());
        may_end.get_future().wait();
    });
    HWND window = created.get_future().get();
    LRESULT result = -1;
    std::thread sender([&] { result = SendMessageW(window, WM_USER, 0, 0); });
    std::this_thread::sleep_for(50ms);  // most runs queue the send before the owner ends
    may_end.set_value();
    owner.join();
    sender.join();
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace qf::test
