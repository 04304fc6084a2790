// A calendar date and time of day to the second, stored as a count of seconds so that whole seconds can
// be added and subtracted. Which zone the fields are in is the caller's business; the item keeps its
// dates as GMT wall-clock times.
#pragma once

#include <windows.h>

#include <compare>
#include <cstdint>
#include <optional>

namespace qf {

class DateTime {
  public:
    struct Fields {
        std::int64_t year = 1970;
        int month = 1;  // 1-12
        int day = 1;    // 1-31
        int hour = 0;
        int minute = 0;
        int second = 0;
    };

    // 1970-01-01 00:00:00.
    DateTime() = default;

    // The instant of the given fields on the proleptic Gregorian calendar. Fields out of range carry over
    // as mktime does: month 0 is December of the year before, day 0 the last day of the month before,
    // hour 24 the next day. Any 32-bit field values are safe.
    static DateTime FromFields(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour = 0,
                               std::int64_t minute = 0, std::int64_t second = 0);
    // The fields of `time`; milliseconds are dropped.
    static DateTime FromSystemTime(const SYSTEMTIME& time);

    Fields ToFields() const;
    // The instant as a SYSTEMTIME (day of week filled in, no milliseconds); nullopt outside the years
    // 1601 to 30827 that a SYSTEMTIME can carry.
    std::optional<SYSTEMTIME> ToSystemTime() const;

    // Seconds since 1970-01-01 00:00:00 of the same zone.
    std::int64_t seconds() const { return seconds_; }
    DateTime AddSeconds(std::int64_t seconds) const;

    auto operator<=>(const DateTime&) const = default;

  private:
    explicit DateTime(std::int64_t seconds) : seconds_(seconds) {}

    std::int64_t seconds_ = 0;
};

}  // namespace qf
