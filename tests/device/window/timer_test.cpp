#include <condition_variable>

#include "qfdevice/device.h"
#include "qfdevice/window_manager.h"
#include "support/watchdog.h"
#include "window_test.h"
#include "window_thread.h"

namespace qf::test {
namespace {

using namespace std::chrono_literals;

// Records each WM_TIMER as (id, device uptime when handled).
class Timers : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        start_ms_ = device::DeviceUptimeMs();
        SetResponder([this](HWND, UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_TIMER) ticks_.push_back({wparam, device::DeviceUptimeMs() - start_ms_});
            return std::nullopt;
        });
    }

    std::int64_t start_ms_ = 0;
    std::vector<std::pair<WPARAM, std::int64_t>> ticks_;
};

std::vector<WPARAM> Ids(const std::vector<std::pair<WPARAM, std::int64_t>>& ticks) {
    std::vector<WPARAM> ids;
    for (const auto& tick : ticks) ids.push_back(tick.first);
    return ids;
}

TEST_F(Timers, AClockStepDeliversEveryTickThatFellDueInOrderAndAdvanceStopsAtEachDueTime) {
    HWND window = Create();
    SetTimer(window, 1, 1000, nullptr);
    SetTimer(window, 2, 1500, nullptr);
    device::StepClock(4999ms);
    device::PumpMessages();
    // 1000 (1), 1500 (2), 2000 (1), 3000 (1 before 2: started first), 3000 (2), 4000 (1), 4500 (2).
    EXPECT_EQ(Ids(ticks_), (std::vector<WPARAM>{1, 2, 1, 1, 2, 1, 2}));
    ticks_.clear();
    device::StepClock(1ms);
    device::PumpMessages();
    EXPECT_EQ(Ids(ticks_), (std::vector<WPARAM>{1}));

    // Advancing stops at each due time, so that handlers see their own time.
    for (UINT_PTR id : {1, 2}) KillTimer(window, id);
    ticks_.clear();
    start_ms_ = device::DeviceUptimeMs();
    SetTimer(window, 21, 1000, nullptr);
    SetTimer(window, 13, 1500, nullptr);
    device::AdvanceClockAndPump(3500ms);
    EXPECT_EQ(ticks_, (std::vector<std::pair<WPARAM, std::int64_t>>{
                          {21, 1000}, {13, 1500}, {21, 2000}, {21, 3000}, {13, 3000}}));
    EXPECT_EQ(device::DeviceUptimeMs() - start_ms_, 3500);
}

TEST_F(Timers, AdvancingYearsCostsOnlyTheTicksThatChangeSomething) {
    Watchdog watchdog(120s, "advancing ten years of quiet ticks");
    HWND window = Create();
    SetTimer(window, 21, 1000, nullptr);
    device::AdvanceClockAndPump(87000h);
    EXPECT_EQ(device::DeviceUptimeMs() - start_ms_, std::int64_t{87000} * 3600 * 1000);
    // Every tick for five quiet minutes, then one every two minutes for the rest of the first day (every
    // time of day is still seen), then the rest at once.
    EXPECT_TRUE(ticks_.size() >= 300u && ticks_.size() < 1100u) << ticks_.size();
    EXPECT_EQ(ticks_.back().second, std::int64_t{87000} * 3600 * 1000);

    // A handler that changes what the window shows gets every tick.
    ticks_.clear();
    start_ms_ = device::DeviceUptimeMs();
    SetResponder([this, window](HWND, UINT message, WPARAM wparam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_TIMER) return std::nullopt;
        ticks_.push_back({wparam, device::DeviceUptimeMs() - start_ms_});
        SetWindowTextW(window, ticks_.size() % 3 == 0 ? u"rotated" : u"");
        return 0;
    });
    device::AdvanceClockAndPump(1h);
    EXPECT_EQ(ticks_.size(), 3600u);
}

TEST_F(Timers, RestartKillAndTheRunningList) {
    HWND window = Create();
    EXPECT_EQ(SetTimer(window, 21, 1000, nullptr), 21u);
    device::StepClock(600ms);
    SetTimer(window, 21, 1000, nullptr);  // starts the period again
    device::StepClock(600ms);
    device::PumpMessages();
    EXPECT_TRUE(ticks_.empty());
    SetTimer(window, 13, 5, nullptr);
    std::vector<device::TimerInfo> running = device::RunningTimers();
    ASSERT_EQ(running.size(), 2u);
    EXPECT_EQ(std::tuple(running[0].id, running[0].period_ms, running[1].window, running[1].period_ms),
              std::tuple(UINT_PTR{13}, static_cast<UINT>(USER_TIMER_MINIMUM), window, 1000u));

    EXPECT_TRUE(KillTimer(window, 13));
    EXPECT_FALSE(KillTimer(window, 13));
    DestroyWindow(window);
    EXPECT_TRUE(device::RunningTimers().empty());
}

TEST_F(Timers, AStepWakesAWindowThreadWaitingInGetMessage) {
    Watchdog watchdog(30s, "a clock step reaching another thread's timer");
    std::mutex mutex;
    std::condition_variable ticked;
    int ticks = 0;
    WindowThread worker([&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_USER) return SetTimer(window, 1, 1000, nullptr);
        if (message == WM_TIMER) {
            std::lock_guard lock(mutex);
            ++ticks;
            ticked.notify_all();
        }
        return std::nullopt;
    });
    ASSERT_EQ(SendMessageW(worker.window(), WM_USER, 0, 0), 1);
    device::StepClock(3s);
    std::unique_lock lock(mutex);
    ticked.wait(lock, [&] { return ticks == 3; });
}

TEST_F(Timers, FollowingTheHostClockTimersFireInRealTime) {
    Watchdog watchdog(30s, "a real-time timer");
    device::UnpinClock();
    HWND window = Create();
    SetTimer(window, 5, 20, nullptr);
    MSG msg;
    do {
        ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    } while (msg.message != WM_TIMER);
    EXPECT_EQ(std::pair(msg.hwnd, msg.wParam), std::pair(window, WPARAM{5}));
}

}  // namespace
}  // namespace qf::test
