#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "time_text.h"
#include "windows.h"

namespace {

SYSTEMTIME Time(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
    return qf::test::MakeTime(year, month, day, hour, minute, second, ms);
}

using qf::test::TimeText;

TEST(FileTimes, RoundTripAcrossTheWholeRange) {
    struct Case {
        SYSTEMTIME time;
        ULONGLONG ticks;
        WORD day_of_week;
    };
    const Case cases[] = {{Time(1601, 1, 1), 0, 1},
                          {Time(1970, 1, 1), 116444736000000000ull, 4},
                          {Time(2024, 2, 29, 12, 30, 15, 250), 133536834152500000ull, 4},
                          {Time(2026, 12, 6), 134409888000000000ull, 0},  // Sunday is day 0
                          {Time(30827, 12, 31, 23, 59, 59, 999), 0x7FFF35F4F06C58F0ull, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(TimeText(c.time));
        FILETIME file_time;
        ASSERT_TRUE(SystemTimeToFileTime(&c.time, &file_time));
        EXPECT_EQ((ULONGLONG{file_time.dwHighDateTime} << 32) | file_time.dwLowDateTime, c.ticks);
        SYSTEMTIME back;
        ASSERT_TRUE(FileTimeToSystemTime(&file_time, &back));
        EXPECT_EQ(TimeText(back), TimeText(c.time));
        EXPECT_EQ(back.wDayOfWeek, c.day_of_week);
    }
}

TEST(FileTimes, RejectFieldsOutOfRangeAndCompareBy64BitValue) {
    const SYSTEMTIME bad[] = {Time(2026, 0, 1),
                              Time(2026, 13, 1),
                              Time(2026, 1, 0),
                              Time(2023, 2, 29),
                              Time(2026, 4, 31),
                              Time(1600, 12, 31),
                              Time(30828, 1, 1),
                              Time(2026, 1, 1, 24),
                              Time(2026, 1, 1, 0, 60),
                              Time(2026, 1, 1, 0, 0, 60),
                              Time(2026, 1, 1, 0, 0, 0, 1000)};
    for (const SYSTEMTIME& time : bad) {
        FILETIME file_time{};
        SetLastError(0);
        EXPECT_FALSE(SystemTimeToFileTime(&time, &file_time)) << TimeText(time);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    FILETIME negative{0, 0x80000000u};
    SYSTEMTIME out;
    EXPECT_FALSE(FileTimeToSystemTime(&negative, &out));

    // Comparison orders by the 64-bit value.
    FILETIME low{0xFFFFFFFFu, 1}, high{0, 2};
    EXPECT_EQ(CompareFileTime(&low, &high), -1);
    EXPECT_EQ(CompareFileTime(&high, &low), 1);
    EXPECT_EQ(CompareFileTime(&low, &low), 0);
}

// What the device answers for SystemTimeToVariantTime, rolling over and failing where it does.
TEST(VariantTimes, FromSystemTimeFollowsTheDevice) {
    struct Case {
        SYSTEMTIME time;
        bool ok;
        double date;
    };
    const Case cases[] = {
        {Time(1980, 1, 1), true, 29221.0},
        {Time(1980, 1, 0), true, 29220.0},  // day 0 is the last day of the month before
        {Time(1980, 0, 0), true, 29189.0},  // month 0 is December of the year before
        {Time(1980, 13, 1), false, 0},
        {Time(1980, 1, 32), false, 0},
        {Time(10000, 1, 1), false, 0},
        {Time(0xFFFF, 1, 1), false, 0},
        {Time(9999, 12, 31), true, 2958465.0},
        {Time(100, 1, 1), true, -657434.0},
        {Time(90, 12, 31), true, 33238.0},  // two-digit years: 30-99 are 19xx
        {Time(30, 1, 1), true, 10959.0},
        {Time(29, 1, 1), true, 47119.0},  // 0-29 are 20xx
        {Time(0, 1, 1), true, 36526.0},
        {Time(2023, 2, 30), true, 44987.0},                                 // rolls into March
        {Time(1980, 1, 1, 18, 1, 16, 999), true, 29221.75087962963},        // milliseconds ignored
        {Time(1980, 1, 0, 42, 1, 16), true, 29221.75087962963},             // hours roll forward
        {Time(1980, 1, 1, 20, 0xFFFF - 118, 16), true, 29221.75087962963},  // negative minutes
        {Time(1899, 12, 25, 6), true, -5.25},
        {Time(1899, 12, 25, 23, 59, 59), true, -5.9999884259259},
        {Time(1899, 12, 30, 6), true, 0.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(TimeText(c.time));
        DATE date = -1e9;
        EXPECT_EQ(SystemTimeToVariantTime(&c.time, &date), c.ok ? TRUE : FALSE);
        if (c.ok) {
            EXPECT_NEAR(date, c.date, 1e-9);
        }
    }
}

TEST(VariantTimes, ToSystemTimeRoundsToTheSecond) {
    struct Case {
        double date;
        bool ok;
        const char* time;
    };
    const Case cases[] = {{29221.0, true, "1980-01-01 00:00:00.000"},
                          {-1.25, true, "1899-12-29 06:00:00.000"},
                          {-0.25, true, "1899-12-30 06:00:00.000"},
                          {-5.9999884259259, true, "1899-12-25 23:59:59.000"},
                          {29221.7508765432, true, "1980-01-01 18:01:16.000"},
                          {29221.9888884444, true, "1980-01-01 23:44:00.000"},
                          {29221.99999999, true, "1980-01-02 00:00:00.000"},
                          {-657434.0, true, "0100-01-01 00:00:00.000"},
                          {-657434.5, true, "0100-01-01 12:00:00.000"},
                          {-657435.0, false, ""},
                          {2958465.99998, true, "9999-12-31 23:59:58.000"},
                          {2958465.9999999, false, ""},  // would round into the year 10000
                          {2958466.0, false, ""},
                          {std::numeric_limits<double>::quiet_NaN(), false, ""},
                          {std::numeric_limits<double>::infinity(), false, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        SYSTEMTIME time{};
        // A refused date leaves no time to compare (its expected text is empty).
        EXPECT_EQ((std::pair{VariantTimeToSystemTime(c.date, &time), c.ok ? TimeText(time) : ""}),
                  std::pair(c.ok ? TRUE : FALSE, std::string(c.time)));
    }
}

TEST(VariantTimes, RoundTripAcrossTheRange) {
    // Walks the whole range in uneven steps so that every month, leap rule and time of day is met.
    int checked = 0;
    for (long day = -657434; day <= 2958465; day += 997) {
        DATE date = static_cast<double>(day);
        SYSTEMTIME midnight;
        ASSERT_TRUE(VariantTimeToSystemTime(date, &midnight)) << day;
        SYSTEMTIME time = midnight;
        time.wHour = static_cast<WORD>(std::abs(day) % 24);
        time.wMinute = static_cast<WORD>(std::abs(day) % 60);
        time.wSecond = static_cast<WORD>(std::abs(day / 7) % 60);
        DATE converted;
        ASSERT_TRUE(SystemTimeToVariantTime(&time, &converted)) << TimeText(time);
        EXPECT_EQ(std::trunc(converted), date) << TimeText(time);
        SYSTEMTIME back;
        ASSERT_TRUE(VariantTimeToSystemTime(converted, &back));
        back.wDayOfWeek = time.wDayOfWeek;
        EXPECT_EQ(TimeText(back), TimeText(time));
        ++checked;
    }
    EXPECT_GT(checked, 3600);
}

}  // namespace
