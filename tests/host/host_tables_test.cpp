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

// One tick of the display: the ticker rotates after `ticker_delay` ticks and wraps, a negative counter
// counts down a status text, and the rest only repaints on request.
TEST(Heartbeat, DisplayStepTable) {
    struct Row {
        const char* what;
        bool list, expanded, requested;
        int delay, counter, index, items;
        DisplayTick expected;  // counter, index, clear status, repaint, still requested
    };
    const Row rows[] = {
        {"counting", false, false, false, 3, 0, 0, 5, {1, 0, false, false, false}},
        {"delay reached: next item", false, false, false, 3, 2, 1, 5, {0, 2, false, true, false}},
        {"after the last item the first", false, false, false, 3, 2, 4, 5, {0, 0, false, true, false}},
        {"countdown ends: status cleared", false, false, false, 3, -1, 2, 5, {0, 2, true, true, false}},
        {"delay 0 stops the rotation", false, false, true, 0, 0, 1, 5, {0, 1, false, true, false}},
        {"an expanded item stays", false, true, false, 3, 2, 1, 5, {2, 1, false, false, false}},
        {"the request waits for the count", false, false, true, 3, 0, 1, 5, {1, 1, false, false, true}},
        {"list mode does not rotate", true, false, false, 3, 0, 1, 5, {0, 1, false, false, false}},
    };
    for (const Row& row : rows) {
        DisplayTickState state;
        state.list_mode = row.list;
        state.expanded = row.expanded;
        state.repaint_requested = row.requested;
        state.ticker_delay = row.delay;
        state.tick_counter = row.counter;
        state.current_item_index = row.index;
        state.listing_item_count = row.items;
        DisplayTick tick = PlanDisplayTick(state);
        EXPECT_EQ(tick.tick_counter, row.expected.tick_counter) << row.what;
        EXPECT_EQ(tick.current_item_index, row.expected.current_item_index) << row.what;
        EXPECT_EQ(tick.clear_status, row.expected.clear_status) << row.what;
        EXPECT_EQ(tick.repaint, row.expected.repaint) << row.what;
        EXPECT_EQ(tick.repaint_requested, row.expected.repaint_requested) << row.what;
    }
}

}  // namespace
}  // namespace qf::host
