// The heartbeat's decision tables, each tested whole: sleep detection and the display step.
#include <gtest/gtest.h>

#include "host/timers.h"

namespace qf::host {
namespace {

TEST(Heartbeat, OnlyMoreThanFiveWholeMinutesMeanTheDeviceSlept) {
    constexpr std::int64_t kMinute = 60'000;
    EXPECT_FALSE(DeviceSlept(0, 1000));
    EXPECT_FALSE(DeviceSlept(0, 5 * kMinute));
    EXPECT_FALSE(DeviceSlept(0, 6 * kMinute - 1));  // 5 whole minutes and 59.999 s
    EXPECT_TRUE(DeviceSlept(0, 6 * kMinute));
    EXPECT_TRUE(DeviceSlept(10 * kMinute, 17 * kMinute));
    EXPECT_FALSE(DeviceSlept(10 * kMinute, 0));  // the clock went back
}

DisplayTickState Ticker(int delay, int counter, int index, int items) {
    DisplayTickState state;
    state.ticker_delay = delay;
    state.tick_counter = counter;
    state.current_item_index = index;
    state.listing_item_count = items;
    return state;
}

void ExpectTick(const DisplayTickState& state, int counter, int index, bool clear, bool repaint,
                bool still_requested, const char* what) {
    DisplayTick tick = PlanDisplayTick(state);
    EXPECT_EQ(tick.tick_counter, counter) << what;
    EXPECT_EQ(tick.current_item_index, index) << what;
    EXPECT_EQ(tick.clear_status, clear) << what;
    EXPECT_EQ(tick.repaint, repaint) << what;
    EXPECT_EQ(tick.repaint_requested, still_requested) << what;
}

TEST(Heartbeat, DisplayStepOfTickerAndList) {
    ExpectTick(Ticker(3, 0, 0, 5), 1, 0, false, false, false, "counting");
    ExpectTick(Ticker(3, 2, 1, 5), 0, 2, false, true, false, "delay reached: next item");
    ExpectTick(Ticker(3, 2, 4, 5), 0, 0, false, true, false, "after the last item the first");
    ExpectTick(Ticker(1, 0, 0, 5), 0, 1, false, true, false, "delay 1 rotates every tick");
    ExpectTick(Ticker(3, 2, 0, 0), 0, 0, false, true, false, "an empty listing stays on 0");
    ExpectTick(Ticker(3, -4, 0, 5), -3, 0, false, false, false, "countdown");
    ExpectTick(Ticker(3, -1, 2, 5), 0, 2, true, true, false, "countdown ends: status cleared");

    DisplayTickState stopped = Ticker(0, 0, 1, 5);
    ExpectTick(stopped, 0, 1, false, false, false, "delay 0 stops the rotation");
    stopped.repaint_requested = true;
    ExpectTick(stopped, 0, 1, false, true, false, "requested repaint consumed");

    DisplayTickState expanded = Ticker(3, 2, 1, 5);
    expanded.expanded = true;
    ExpectTick(expanded, 2, 1, false, false, false, "an expanded item stays");
    expanded.repaint_requested = true;
    ExpectTick(expanded, 2, 1, false, true, false, "expanded, repaint requested");

    DisplayTickState rotating_request = Ticker(3, 0, 1, 5);
    rotating_request.repaint_requested = true;
    ExpectTick(rotating_request, 1, 1, false, false, true, "the request waits while the ticker counts");

    DisplayTickState list = Ticker(3, 0, 1, 5);
    list.list_mode = true;
    ExpectTick(list, 0, 1, false, false, false, "list mode does not rotate");
    list.tick_counter = -1;
    ExpectTick(list, 0, 1, true, true, false, "list countdown ends");
    list.tick_counter = 0;
    list.repaint_requested = true;
    ExpectTick(list, 0, 1, false, true, false, "list repaint on request");
}

}  // namespace
}  // namespace qf::host
