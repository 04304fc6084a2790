#include "parse/date_time.h"

namespace qf {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Days from 1970-01-01 to year-month-01 (month 1-12), after H. Hinnant's days_from_civil.
std::int64_t DaysFromCivil(std::int64_t year, int month) {
    year -= month <= 2;
    const std::int64_t era = FloorDiv(year, 400);
    const std::int64_t year_of_era = year - era * 400;
    const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

}  // namespace

DateTime DateTime::FromFields(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                              std::int64_t minute, std::int64_t second) {
    const std::int64_t month_index = month - 1;
    year += FloorDiv(month_index, 12);
    const int month_in_year = static_cast<int>(month_index - FloorDiv(month_index, 12) * 12) + 1;
    const std::int64_t days = DaysFromCivil(year, month_in_year) + (day - 1);
    return DateTime(days * kSecondsPerDay + hour * 3600 + minute * 60 + second);
}

DateTime DateTime::FromSystemTime(const SYSTEMTIME& time) {
    return FromFields(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
}

DateTime::Fields DateTime::ToFields() const {
    const std::int64_t days = FloorDiv(seconds_, kSecondsPerDay);
    const std::int64_t second_of_day = seconds_ - days * kSecondsPerDay;
    // H. Hinnant's civil_from_days.
    const std::int64_t z = days + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t day_of_era = z - era * 146097;
    const std::int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t mp = (5 * day_of_year + 2) / 153;
    Fields fields;
    fields.day = static_cast<int>(day_of_year - (153 * mp + 2) / 5 + 1);
    fields.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    fields.year = year_of_era + era * 400 + (fields.month <= 2);
    fields.hour = static_cast<int>(second_of_day / 3600);
    fields.minute = static_cast<int>(second_of_day / 60 % 60);
    fields.second = static_cast<int>(second_of_day % 60);
    return fields;
}

std::optional<SYSTEMTIME> DateTime::ToSystemTime() const {
    const Fields fields = ToFields();
    if (fields.year < 1601 || fields.year > 30827) return std::nullopt;
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(fields.year);
    time.wMonth = static_cast<WORD>(fields.month);
    time.wDay = static_cast<WORD>(fields.day);
    time.wHour = static_cast<WORD>(fields.hour);
    time.wMinute = static_cast<WORD>(fields.minute);
    time.wSecond = static_cast<WORD>(fields.second);
    // 1970-01-01 was a Thursday (4).
    time.wDayOfWeek = static_cast<WORD>((FloorDiv(seconds_, kSecondsPerDay) % 7 + 11) % 7);
    return time;
}

DateTime DateTime::AddSeconds(std::int64_t seconds) const { return DateTime(seconds_ + seconds); }

}  // namespace qf
