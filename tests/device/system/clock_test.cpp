#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "qfdevice/device.h"
#include "support/run_program.h"
#include "support/temp_device.h"
#include "time_text.h"
#include "windows.h"

using namespace std::chrono_literals;
using qf::device::Profile;
using qf::test::MakeTime;

namespace {

// The time with its day of the week (0 Sunday).
std::string Text(const SYSTEMTIME& time) {
    return qf::test::TimeText(time) + " dow" + std::to_string(time.wDayOfWeek);
}

// The time now as `read` (GetLocalTime or GetSystemTime) gives it.
std::string Now(void (*read)(LPSYSTEMTIME)) {
    SYSTEMTIME now;
    read(&now);
    return Text(now);
}
std::string LocalNow() { return Now(GetLocalTime); }
std::string UtcNow() { return Now(GetSystemTime); }

// Pins the clock in a zone one hour ahead of UTC, and leaves the host clock and profile as they were.
class PinnedClockTest : public testing::Test {
  protected:
    void SetUp() override {
        Profile profile;
        profile.time_zone_bias_minutes = -60;
        qf::device::OverrideProfile(profile);
        qf::device::PinClock(MakeTime(2026, 12, 31, 23, 59, 30));
    }
    void TearDown() override {
        qf::device::UnpinClock();
        qf::device::OverrideProfile(std::nullopt);
    }
};

TEST_F(PinnedClockTest, StandsStillUntilStepped) {
    DWORD ticks = GetTickCount();
    EXPECT_TRUE(qf::device::ClockPinned());
    EXPECT_EQ(LocalNow(), "2026-12-31 23:59:30.000 dow4");
    EXPECT_EQ(UtcNow(), "2026-12-31 22:59:30.000 dow4");
    Sleep(30);
    EXPECT_EQ(std::pair(LocalNow(), GetTickCount()),
              std::pair(std::string("2026-12-31 23:59:30.000 dow4"), ticks));

    qf::device::StepClock(45'500ms);
    EXPECT_EQ(std::pair(LocalNow(), GetTickCount() - ticks),
              std::pair(std::string("2027-01-01 00:00:15.500 dow5"), DWORD{45'500}));
    EXPECT_EQ(qf::device::NowUtcMs(), 1798758015500);  // 2026-12-31T23:00:15.5Z

    qf::device::StepClock(-10s);  // the device clock never runs backwards
    EXPECT_EQ(LocalNow(), "2027-01-01 00:00:15.500 dow5");
}

TEST_F(PinnedClockTest, ASuspendedDeviceWakesWithItsWallClockMovedOnAndItsTicksNot) {
    DWORD ticks = GetTickCount();
    int heard = 0;
    int listener = qf::device::AddClockStepListener([&] { ++heard; });
    qf::device::SuspendClock(70min);
    qf::device::SuspendClock(-1min);
    // No timer can have fallen due.
    EXPECT_EQ(std::tuple(LocalNow(), GetTickCount(), heard),
              std::tuple("2027-01-01 01:09:30.000 dow5", ticks, 0));
    qf::device::RemoveClockStepListener(listener);
}

TEST_F(PinnedClockTest, ZoneBiasMovesUtcButNotThePinnedLocalTime) {
    TIME_ZONE_INFORMATION zone;
    EXPECT_EQ(GetTimeZoneInformation(&zone), static_cast<DWORD>(TIME_ZONE_ID_STANDARD));
    EXPECT_EQ(std::pair(zone.Bias, std::u16string(zone.StandardName)),
              std::pair(LONG{-60}, std::u16string(u"UTC+01:00")));

    Profile profile;
    profile.time_zone_bias_minutes = 330;
    qf::device::OverrideProfile(profile);
    GetTimeZoneInformation(&zone);
    EXPECT_EQ(std::u16string(zone.StandardName), u"UTC-05:30");
    EXPECT_EQ(LocalNow(), "2026-12-31 23:59:30.000 dow4");
    EXPECT_EQ(UtcNow(), "2027-01-01 05:29:30.000 dow5");
}

TEST_F(PinnedClockTest, ListenersRunAfterEachStepAndMayRemoveThemselves) {
    std::vector<std::string> seen;
    int second = 0;
    int first =
        qf::device::AddClockStepListener([&] { seen.push_back("first " + LocalNow().substr(11, 8)); });
    second = qf::device::AddClockStepListener([&] {
        seen.push_back("second");
        qf::device::RemoveClockStepListener(second);
        qf::device::AddClockStepListener([] {});  // adding from inside a listener does not deadlock
    });
    qf::device::StepClock(1s);
    qf::device::StepClock(1s);
    qf::device::RemoveClockStepListener(first);
    qf::device::StepClock(1s);
    EXPECT_EQ(seen, (std::vector<std::string>{"first 23:59:31", "second", "first 23:59:32"}));
}

TEST_F(PinnedClockTest, UnpinningFollowsTheHostAgainWithoutTicksGoingBack) {
    qf::device::StepClock(5s);
    DWORD pinned_ticks = GetTickCount();
    qf::device::UnpinClock();
    EXPECT_FALSE(qf::device::ClockPinned());
    EXPECT_GE(GetTickCount(), pinned_ticks);
    std::int64_t unpinned = qf::device::NowUtcMs();
    Sleep(20);
    EXPECT_GT(qf::device::NowUtcMs(), unpinned) << "the clock runs again";

    // A step while following the host moves the device clock ahead of it.
    std::int64_t before = qf::device::NowUtcMs();
    qf::device::StepClock(1h);
    EXPECT_GE(qf::device::NowUtcMs() - before, 3'600'000);
    EXPECT_GE(GetTickCount() - pinned_ticks, 3'600'000u);
}

TEST(ClockSetting, PinsTheLocalTimeAtProcessStart) {
    // The setting is read while the library loads, so a child process of this suite checks it.
    if (const char* expected = std::getenv("QF_TEST_EXPECT_CLOCK")) {
        EXPECT_EQ(qf::device::ClockPinned(), std::string(expected) != "host");
        if (qf::device::ClockPinned()) {
            EXPECT_EQ(LocalNow(), expected);
        }
        return;
    }
    qf::test::TempDevice device;
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<std::string> argv = {self, "--gtest_filter=ClockSetting.PinsTheLocalTimeAtProcessStart"};
    std::string root = "QUILLFEED_DEVICE=" + device.root().string();

    auto pinned = qf::test::RunProgram(
        argv, {},
        {root, "QUILLFEED_CLOCK=2026-12-05T14:00:00", "QF_TEST_EXPECT_CLOCK=2026-12-05 14:00:00.000 dow6"});
    EXPECT_EQ(pinned.exit_code, 0) << pinned.out;

    for (const char* bad : {"2026-12-05 14:00:00", "2026-02-30T14:00:00", "2026-12-05T24:00:00", "soon"}) {
        auto ignored = qf::test::RunProgram(
            argv, {}, {root, std::string("QUILLFEED_CLOCK=") + bad, "QF_TEST_EXPECT_CLOCK=host"});
        EXPECT_EQ(ignored.exit_code, 0) << bad << "\n" << ignored.out;
        EXPECT_NE(ignored.err.find("ignoring QUILLFEED_CLOCK"), std::string::npos) << bad;
    }
}

}  // namespace
