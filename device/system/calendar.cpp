#include "system/calendar.h"

#include <chrono>

namespace qf::device {

namespace chrono = std::chrono;

std::int64_t DaysFromCivil(int year, int month, int day) {
    chrono::sys_days first = chrono::year{year} / chrono::month{static_cast<unsigned>(month)} / 1;
    return (first + chrono::days{day - 1}).time_since_epoch().count();
}

bool IsRealDate(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    return (chrono::year{year} / chrono::month{static_cast<unsigned>(month)} /
            chrono::day{static_cast<unsigned>(day)})
        .ok();
}

SYSTEMTIME SystemTimeFromUnixMs(std::int64_t unix_ms) {
    std::int64_t day_number = FloorDiv(unix_ms, kMsPerDay);
    std::int64_t ms_of_day = unix_ms - day_number * kMsPerDay;
    chrono::sys_days day{chrono::days{day_number}};
    chrono::year_month_day date{day};
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(static_cast<int>(date.year()));
    time.wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
    time.wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
    time.wDayOfWeek = static_cast<WORD>(chrono::weekday{day}.c_encoding());
    time.wHour = static_cast<WORD>(ms_of_day / 3'600'000);
    time.wMinute = static_cast<WORD>(ms_of_day / 60'000 % 60);
    time.wSecond = static_cast<WORD>(ms_of_day / 1000 % 60);
    time.wMilliseconds = static_cast<WORD>(ms_of_day % 1000);
    return time;
}

std::optional<std::int64_t> UnixMsFromSystemTime(const SYSTEMTIME& time) {
    if (time.wYear < 1601 || time.wYear > 30827 || !IsRealDate(time.wYear, time.wMonth, time.wDay) ||
        time.wHour > 23 || time.wMinute > 59 || time.wSecond > 59 || time.wMilliseconds > 999) {
        return std::nullopt;
    }
    std::int64_t ms_of_day =
        ((time.wHour * 60 + time.wMinute) * 60 + time.wSecond) * std::int64_t{1000} + time.wMilliseconds;
    return DaysFromCivil(time.wYear, time.wMonth, time.wDay) * kMsPerDay + ms_of_day;
}

}  // namespace qf::device
