// The auto-reload schedule's decision, case by case, on fixed clock readings.
#include "download/schedule.h"

#include <gtest/gtest.h>

namespace qf::test {
namespace {

constexpr long long kNow = 800'000'000;  // seconds since 2001 of every check
constexpr long long kLongAgo = kNow - 3600;

ScheduleConfig Times(std::initializer_list<int> minutes) {
    ScheduleConfig config;
    size_t slot = 0;
    for (int minute : minutes) config.times[slot++] = minute;
    return config;
}

ScheduleConfig AudioAt(int minute) { return {.audio_time = minute}; }
ScheduleConfig Docking() { return {.start_on_pass_through = true}; }
ScheduleCheck At(int minute) {
    return {.minute = minute, .seconds_since_2001 = kNow, .last_refresh_seconds = kLongAgo};
}

ScheduleCheck Interval(int minute, int frequency, int next_reload, bool reset = false) {
    return {minute, kNow, kLongAgo, frequency, next_reload, reset};
}

ScheduleCheck RanAgo(ScheduleCheck check, long long seconds) {
    check.last_refresh_seconds = kNow - seconds;
    return check;
}

ScheduleCheck Docked(bool present, bool seen) {
    ScheduleCheck check = At(600);
    check.pass_through_present = present;
    check.desktop_seen = seen;
    return check;
}

TEST(Schedule, DecisionTable) {
    struct Row {
        const char* name;
        ScheduleConfig config;
        ScheduleCheck check;
        bool due;
        DueReason reason;
        bool suppressed = false;
        bool audio_only = false;
        bool desktop_seen = false;
        std::optional<int> rebased = std::nullopt;
    } rows[] = {
        // clang-format off
        {"08:00 at 07:59", Times({480}), At(479), true, DueReason::kTime},
        {"08:00 at 08:00", Times({480}), At(480), true, DueReason::kTime},
        {"08:00 at 08:01", Times({480}), At(481), true, DueReason::kTime},
        {"08:00 at 08:02", Times({480}), At(482), false, DueReason::kNone},
        {"08:00 at 08:01, run 30 s ago", Times({480}), RanAgo(At(481), 30), false, DueReason::kTime, true},
        {"08:00 at 08:01, a run ended 300 s ago", Times({480}), RanAgo(At(481), 300), true, DueReason::kTime},
        {"sixth slot", Times({-1, -1, -1, -1, -1, 700}), At(700), true, DueReason::kTime},
        {"00:01 at 00:00", Times({1}), At(0), true, DueReason::kTime},
        {"00:01 at 00:02", Times({1}), At(2), true, DueReason::kTime},
        {"23:59 at 23:58", Times({1439}), At(1438), true, DueReason::kTime},
        {"23:59 at 00:00", Times({1439}), At(0), true, DueReason::kTime},
        {"empty slots never match", ScheduleConfig{}, At(0), false, DueReason::kNone},
        {"audio time", AudioAt(300), At(301), true, DueReason::kAudioTime, false, true},
        {"a download time wins over the audio time", {.times = Times({300}).times, .audio_time = 300}, At(300), true, DueReason::kTime},
        {"interval at NextReload", ScheduleConfig{}, Interval(30, 90, 30), true, DueReason::kInterval},
        {"interval 1440 at 23:59", ScheduleConfig{}, Interval(1439, 60, 1440), true, DueReason::kInterval},
        {"interval off", ScheduleConfig{}, Interval(30, 0, 30), false, DueReason::kNone},
        {"no NextReload", ScheduleConfig{}, Interval(30, 90, -1), false, DueReason::kNone},
        {"woke after NextReload", {}, Interval(600, 60, 480, true), false, DueReason::kNone, false, false, false, 660},
        {"not yet, no reset asked", ScheduleConfig{}, Interval(600, 60, 480), false, DueReason::kNone},
        {"docked now", Docking(), Docked(true, false), true, DueReason::kPassThrough, false, false, true},
        {"still docked", Docking(), Docked(true, true), false, DueReason::kNone, false, false, true},
        {"undocked", Docking(), Docked(false, true), false, DueReason::kNone},
        {"docking ignored unless asked for", ScheduleConfig{}, Docked(true, false), false, DueReason::kNone},
        // clang-format on
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScheduleDecision d = DecideDownload(row.config, row.check);
        EXPECT_EQ(
            std::tuple(d.due, d.reason, d.suppressed, d.audio_only, d.desktop_seen, d.rebased_next_reload),
            std::tuple(row.due, row.reason, row.suppressed, row.audio_only, row.desktop_seen, row.rebased));
    }
}

TEST(Schedule, NextScheduledDownloadTableAndNextReloadWrapsPastMidnight) {
    struct Row {
        const char* name;
        ScheduleConfig config;
        ScheduleCheck now;
        std::optional<int> minutes_ahead;
        DueReason reason = DueReason::kNone;
    } rows[] = {
        {"nothing scheduled", ScheduleConfig{}, At(600), std::nullopt},
        {"docking only", Docking(), Docked(false, false), std::nullopt},
        {"08:00 from 07:00: the check finds it at 07:59", Times({480}), At(420), 59, DueReason::kTime},
        {"the earlier of two times", Times({900, 500}), At(420), 79, DueReason::kTime},
        {"08:00 from 09:00: tomorrow", Times({480}), At(540), 1379, DueReason::kTime},
        {"inside the window: due now", Times({480}), At(481), 0, DueReason::kTime},
        {"just run: the rest is suppressed", Times({480}), RanAgo(At(480), 10), 1439, DueReason::kTime},
        {"audio time", AudioAt(30), At(1430), 39, DueReason::kAudioTime},
        {"interval", ScheduleConfig{}, Interval(600, 60, 660), 59, DueReason::kInterval},
        {"interval without NextReload", ScheduleConfig{}, Interval(600, 60, -1), std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::optional<NextDownload> next = NextScheduledDownload(row.config, row.now);
        EXPECT_EQ(next ? std::pair(std::optional(next->minutes_ahead), next->reason)
                       : std::pair(std::optional<int>(), DueReason::kNone),
                  std::pair(row.minutes_ahead, row.reason));
    }

    // NextReload wraps past midnight.
    EXPECT_EQ(NextReloadMinute(23 * 60, 90), 30);
    EXPECT_EQ(NextReloadMinute(23 * 60, 60), 1440);
    EXPECT_EQ(NextReloadMinute(600, 0), kNoMinute);
    EXPECT_FALSE(HasAnySchedule(ScheduleConfig{}, kNoMinute));
    EXPECT_TRUE(HasAnySchedule(ScheduleConfig{}, 30));
    EXPECT_TRUE(HasAnySchedule(AudioAt(5), kNoMinute));
}

}  // namespace
}  // namespace qf::test
