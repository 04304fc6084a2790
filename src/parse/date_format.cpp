// Text forms of dates: the "GMT" label form shown with items and the form of the log.
#include <cstdio>

#include "parse/dates.h"
#include "parse/wide_text.h"

namespace qf {
namespace {

// The year is written as an unsigned 32-bit number, as the device's "%u" does.
unsigned YearBits(std::int64_t year) { return static_cast<unsigned>(year); }

std::u16string GmtText(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%u-%.02u-%.02u %.02u:%.02u GMT", year, month, day, hour, minute);
    return text::FromAscii(buffer);
}

}  // namespace

std::u16string FormatGmt(const DateTime& time) {
    const DateTime::Fields f = time.ToFields();
    return GmtText(YearBits(f.year), f.month, f.day, f.hour, f.minute);
}

std::u16string FormatGmt(const SYSTEMTIME& time) {
    return GmtText(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute);
}

std::u16string FormatLogTime(const DateTime& time) {
    const DateTime::Fields f = time.ToFields();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.02u/%.02u/%u %.02u:%.02u", static_cast<unsigned>(f.month),
                  static_cast<unsigned>(f.day), YearBits(f.year), static_cast<unsigned>(f.hour),
                  static_cast<unsigned>(f.minute));
    return text::FromAscii(buffer);
}

std::u16string FormatLogTime(DATE time) {
    SYSTEMTIME fields{};
    if (!VariantTimeToSystemTime(time, &fields)) return {};
    return FormatLogTime(DateTime::FromSystemTime(fields));
}

}  // namespace qf
