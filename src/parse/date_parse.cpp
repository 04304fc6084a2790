// ParseDate and MonthFromName: the two textual forms feeds use for dates.
#include <array>

#include "parse/dates.h"
#include "parse/wide_text.h"

namespace qf {
namespace {

constexpr size_t kNone = std::u16string_view::npos;

std::int64_t YearOf(std::u16string_view text) {
    std::int64_t year = text::LeadingNumber(text);
    // Two-digit years ("06") belong to this century.
    return year < 1000 ? year + 2000 : year;
}

// "2006-01-02T10:00:00-05:00": the offset's hours are applied, its minutes and offsets without ":"
// ("+0100") are not; without an offset the seconds are ignored as well.
DateTime ParseIsoDate(std::u16string_view text) {
    const size_t time_mark = text.find(u'T');
    const std::u16string_view date_part = text.substr(0, time_mark);
    const std::u16string_view time_part = text.substr(time_mark + 1);
    const size_t dash1 = date_part.find(u'-');
    const size_t dash2 = dash1 == kNone ? kNone : date_part.find(u'-', dash1 + 1);
    if (dash2 == kNone) return NowLocal();
    const std::int64_t year = YearOf(date_part.substr(0, dash1));
    const std::int64_t month = text::LeadingNumber(date_part.substr(dash1 + 1, dash2 - dash1 - 1));
    const std::int64_t day = text::LeadingNumber(date_part.substr(dash2 + 1));

    const size_t colon1 = time_part.find(u':');
    const size_t colon2 = colon1 == kNone ? kNone : time_part.find(u':', colon1 + 1);
    if (colon2 == kNone) return DateTime::FromFields(year, month, day);
    const std::int64_t hour = text::LeadingNumber(time_part.substr(0, colon1));
    const std::int64_t minute = text::LeadingNumber(time_part.substr(colon1 + 1, colon2 - colon1 - 1));
    const std::u16string_view rest = time_part.substr(colon2 + 1);
    size_t sign = rest.find(u'-');
    if (sign == kNone) sign = rest.find(u'+');
    if (sign == kNone) return DateTime::FromFields(year, month, day, hour, minute, 0);

    const std::int64_t second = text::LeadingNumber(rest.substr(0, sign));
    const DateTime local = DateTime::FromFields(year, month, day, hour, minute, second);
    const std::u16string_view offset = rest.substr(sign);
    const size_t offset_colon = offset.find(u':');
    if (offset_colon == kNone) return local;
    const std::int64_t offset_hours = text::LeadingNumber(offset.substr(1, offset_colon - 1));
    return local.AddSeconds((offset[0] == u'-' ? 1 : -1) * offset_hours * 3600);
}

// Hours to add to a time in one of the North American zones to get GMT; other zones count as GMT.
std::int64_t ZoneHoursToGmt(std::u16string_view zone) {
    struct Zone {
        std::u16string_view name;
        int hours;
    };
    static constexpr std::array<Zone, 8> kZones{{{u"edt", 4},
                                                 {u"est", 5},
                                                 {u"cdt", 5},
                                                 {u"cst", 6},
                                                 {u"mdt", 6},
                                                 {u"mst", 7},
                                                 {u"pdt", 7},
                                                 {u"pst", 8}}};
    const std::u16string lower = text::ToLower(zone);
    for (const Zone& known : kZones) {
        if (lower == known.name) return known.hours;
    }
    return 0;
}

// "Mon, 02 Jan 2006 10:00:00 EDT": a time without seconds, or without a zone after them, is dropped.
DateTime ParseMailDate(std::u16string_view text) {
    const std::u16string_view rest = text.substr(text.find(u", ") + 2);
    const size_t blank1 = rest.find(u' ');
    const size_t blank2 = blank1 == kNone ? kNone : rest.find(u' ', blank1 + 1);
    const size_t blank3 = blank2 == kNone ? kNone : rest.find(u' ', blank2 + 1);
    if (blank3 == kNone) return NowLocal();
    const std::int64_t day = text::LeadingNumber(rest.substr(0, blank1));
    const std::int64_t month = MonthFromName(rest.substr(blank1 + 1, blank2 - blank1 - 1));
    const std::int64_t year = YearOf(rest.substr(blank2 + 1, blank3 - blank2 - 1));

    const std::u16string_view time = rest.substr(blank3 + 1);
    const size_t colon1 = time.find(u':');
    const size_t colon2 = colon1 == kNone ? kNone : time.find(u':', colon1 + 1);
    const size_t blank = colon2 == kNone ? kNone : time.find(u' ', colon2 + 1);
    if (blank == kNone) return DateTime::FromFields(year, month, day);
    const std::int64_t hour = text::LeadingNumber(time.substr(0, colon1));
    const std::int64_t minute = text::LeadingNumber(time.substr(colon1 + 1, colon2 - colon1 - 1));
    const std::int64_t second = text::LeadingNumber(time.substr(colon2 + 1, blank - colon2 - 1));
    const DateTime local = DateTime::FromFields(year, month, day, hour, minute, second);
    return local.AddSeconds(ZoneHoursToGmt(time.substr(blank + 1)) * 3600);
}

}  // namespace

DateTime ParseDate(std::u16string_view text) {
    text = text::Trim(text);
    if (text.find(u'-') != kNone && text.find(u'T') != kNone) return ParseIsoDate(text);
    if (text.find(u", ") != kNone && text.find(u':') != kNone) return ParseMailDate(text);
    return NowLocal();
}

int MonthFromName(std::u16string_view name) {
    static constexpr std::array<std::u16string_view, 12> kMonths{
        u"jan", u"feb", u"mar", u"apr", u"may", u"jun", u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"};
    const std::u16string lower = text::ToLower(name);
    for (size_t i = 0; i < kMonths.size(); ++i) {
        if (lower == kMonths[i]) return static_cast<int>(i) + 1;
    }
    return 1;
}

}  // namespace qf
