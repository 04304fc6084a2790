#include <cmath>
#include <cstdint>

#include "system/calendar.h"
#include "system/win32_result.h"
#include "win/time.h"

using namespace qf::device;

namespace {

constexpr std::int64_t kOleEpochToUnixDays = 25'569;  // 1899-12-30 to 1970-01-01
constexpr std::int64_t kFirstOleDay = -657'434;       // 0100-01-01
constexpr std::int64_t kLastOleDay = 2'958'465;       // 9999-12-31
constexpr std::int64_t kSecondsPerDay = 86'400;

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// The year an OLE date means: two-digit years are windowed into 1930-2029.
int OleYear(WORD year) {
    if (year < 30) return year + 2000;
    if (year < 100) return year + 1900;
    return year;
}

}  // namespace

QF_EXTERN_C BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* time, LPFILETIME file_time) {
    if (time == nullptr || file_time == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    auto unix_ms = UnixMsFromSystemTime(*time);
    if (!unix_ms) return FailWith(ERROR_INVALID_PARAMETER);
    auto ticks = static_cast<std::uint64_t>(FileTimeTicksFromUnixMs(*unix_ms));
    file_time->dwLowDateTime = static_cast<DWORD>(ticks);
    file_time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI FileTimeToSystemTime(const FILETIME* file_time, LPSYSTEMTIME time) {
    if (file_time == nullptr || time == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    std::uint64_t ticks = Ticks(*file_time);
    // The device treats FILETIME as signed: the top half of the range is invalid.
    if (ticks >> 63 != 0) return FailWith(ERROR_INVALID_PARAMETER);
    *time =
        SystemTimeFromUnixMs(static_cast<std::int64_t>(ticks / kFileTimeTicksPerMs) - kFileTimeEpochToUnixMs);
    return TRUE;
}

QF_EXTERN_C LONG WINAPI CompareFileTime(const FILETIME* a, const FILETIME* b) {
    std::uint64_t left = Ticks(*a), right = Ticks(*b);
    return (left > right) - (left < right);
}

// The device checks only the month, the day and the range of the year; everything else rolls over into
// the next larger unit (day 0 is the last day of the month before, hour 25 is 1:00 the next day, and
// the time fields count as signed).
QF_EXTERN_C int WINAPI SystemTimeToVariantTime(const SYSTEMTIME* time, DATE* variant_time) {
    if (time == nullptr || variant_time == nullptr) return FALSE;
    if (time->wMonth > 12 || time->wDay > 31 || time->wYear > 9999) return FALSE;
    int year = OleYear(time->wYear);
    int month = time->wMonth;
    if (month == 0) {
        month = 12;
        --year;
    }
    std::int64_t day = DaysFromCivil(year, month, time->wDay) + kOleEpochToUnixDays;
    std::int64_t seconds = static_cast<SHORT>(time->wHour) * std::int64_t{3600} +
                           static_cast<SHORT>(time->wMinute) * std::int64_t{60} +
                           static_cast<SHORT>(time->wSecond);
    std::int64_t day_carry = FloorDiv(seconds, kSecondsPerDay);
    day += day_carry;
    seconds -= day_carry * kSecondsPerDay;
    if (day < kFirstOleDay || day > kLastOleDay) return FALSE;
    // Before 1899-12-30 the fraction counts forward from the negative day: -1.25 is 1899-12-29 06:00.
    double fraction = static_cast<double>(seconds) / kSecondsPerDay;
    *variant_time = day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
    return TRUE;
}

QF_EXTERN_C int WINAPI VariantTimeToSystemTime(DATE variant_time, LPSYSTEMTIME time) {
    if (time == nullptr || !std::isfinite(variant_time) || variant_time <= kFirstOleDay - 1.0 ||
        variant_time >= kLastOleDay + 1.0) {
        return FALSE;
    }
    double whole_days = std::trunc(variant_time);
    double exact_seconds = std::fabs(variant_time - whole_days) * kSecondsPerDay;
    auto seconds = static_cast<std::int64_t>(std::floor(exact_seconds));
    if (exact_seconds - static_cast<double>(seconds) > 0.5) ++seconds;  // to the nearest second
    auto day = static_cast<std::int64_t>(whole_days);
    SYSTEMTIME result = SystemTimeFromUnixMs((day - kOleEpochToUnixDays) * kMsPerDay + seconds * 1000);
    if (result.wYear > 9999) return FALSE;  // the last second of 9999 rounded up
    *time = result;
    return TRUE;
}
