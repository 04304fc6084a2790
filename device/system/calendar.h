// Calendar arithmetic (proleptic Gregorian) shared by the device clock and the Win32 time conversions.
#pragma once

#include <cstdint>
#include <optional>

#include "win/types.h"

namespace qf::device {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::int64_t kFileTimeEpochToUnixMs = 11'644'473'600'000;  // 1601-01-01 to 1970-01-01
constexpr std::int64_t kFileTimeTicksPerMs = 10'000;                 // FILETIME counts 100 ns

// The FILETIME count (100 ns since 1601-01-01) of `unix_ms` milliseconds since 1970-01-01.
constexpr std::int64_t FileTimeTicksFromUnixMs(std::int64_t unix_ms) {
    return (unix_ms + kFileTimeEpochToUnixMs) * kFileTimeTicksPerMs;
}

// Days since 1970-01-01 of day `day` of `month` (1-12) of `year`. Days outside the month roll over:
// day 0 is the last day of the month before, day 32 of January is 1 February.
std::int64_t DaysFromCivil(int year, int month, int day);
// True when year/month/day is a real date.
bool IsRealDate(int year, int month, int day);
// The calendar time, with its day of the week, of `unix_ms` milliseconds since 1970-01-01 (negative
// before). The year must fit in a WORD.
SYSTEMTIME SystemTimeFromUnixMs(std::int64_t unix_ms);
// Milliseconds since 1970-01-01 of `time`; nullopt unless every field is in range and the year lies in
// 1601-30827. wDayOfWeek is ignored.
std::optional<std::int64_t> UnixMsFromSystemTime(const SYSTEMTIME& time);
// Floor division, for splitting negative times into days and time of day.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace qf::device
