#include "shared/date_text.h"

#include <cstdio>

namespace qf {
namespace {

// Reads 1 to `max_digits` decimal digits at `pos`; nullopt when there is none.
std::optional<int> ReadNumber(std::u16string_view text, size_t& pos, size_t max_digits) {
    size_t start = pos;
    int value = 0;
    while (pos < text.size() && pos - start < max_digits && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos] - u'0');
        ++pos;
    }
    if (pos == start) return std::nullopt;
    return value;
}

bool Expect(std::u16string_view text, size_t& pos, char16_t c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

// "HH:MM[:SS]" at `pos`, filling the time fields of `st`.
bool ReadTime(std::u16string_view text, size_t& pos, SYSTEMTIME& st) {
    auto hour = ReadNumber(text, pos, 2);
    if (!hour || !Expect(text, pos, u':')) return false;
    auto minute = ReadNumber(text, pos, 2);
    if (!minute) return false;
    std::optional<int> second = 0;
    if (Expect(text, pos, u':')) second = ReadNumber(text, pos, 2);
    if (!second || *hour > 23 || *minute > 59 || *second > 59) return false;
    st.wHour = static_cast<WORD>(*hour);
    st.wMinute = static_cast<WORD>(*minute);
    st.wSecond = static_cast<WORD>(*second);
    return true;
}

// The calendar part of either form; leaves `pos` after it.
bool ReadDay(std::u16string_view text, size_t& pos, SYSTEMTIME& st) {
    size_t start = pos;
    auto first = ReadNumber(text, pos, 4);
    if (!first) return false;
    if (pos - start == 4 && Expect(text, pos, u'-')) {
        auto month = ReadNumber(text, pos, 2);
        if (!month || !Expect(text, pos, u'-')) return false;
        auto day = ReadNumber(text, pos, 2);
        if (!day) return false;
        st.wYear = static_cast<WORD>(*first);
        st.wMonth = static_cast<WORD>(*month);
        st.wDay = static_cast<WORD>(*day);
        return true;
    }
    if (pos - start > 2 || !Expect(text, pos, u'/')) return false;
    auto day = ReadNumber(text, pos, 2);
    if (!day || !Expect(text, pos, u'/')) return false;
    size_t year_start = pos;
    auto year = ReadNumber(text, pos, 4);
    if (!year || pos - year_start != 4) return false;
    st.wYear = static_cast<WORD>(*year);
    st.wMonth = static_cast<WORD>(*first);
    st.wDay = static_cast<WORD>(*day);
    return true;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<std::u16string> FormatDateText(DATE value) {
    SYSTEMTIME st{};
    if (!VariantTimeToSystemTime(value, &st)) return std::nullopt;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay,
                  st.wHour, st.wMinute, st.wSecond);
    return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

std::optional<DATE> ParseDateText(std::u16string_view text) {
    text = Trim(text);
    SYSTEMTIME st{};
    size_t pos = 0;
    if (!ReadDay(text, pos, st)) return std::nullopt;
    if (pos < text.size()) {
        if (text[pos] != u' ' && text[pos] != u'T') return std::nullopt;
        ++pos;
        if (!ReadTime(text, pos, st) || pos != text.size()) return std::nullopt;
    }
    if (st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 || st.wDay > DaysInMonth(st.wYear, st.wMonth)) {
        return std::nullopt;
    }
    DATE value = 0;
    if (!SystemTimeToVariantTime(&st, &value)) return std::nullopt;
    return value;
}

}  // namespace qf
