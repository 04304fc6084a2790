// VarDateFromStr for the English locale: the text is cut into numbers, month and day names, AM/PM and
// separators, then read as an optional date (month/day/year, year-month-day, or with a month name) and
// an optional time (h:mm[:ss] [AM|PM]). Anything it cannot place fails the whole text, as the platform
// does for zones and ISO "T" times.
#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "system/calendar.h"
#include "win/oleauto.h"
#include "win/time.h"

using namespace qf::device;

namespace {

constexpr std::int64_t kOleEpochToUnixDays = 25'569;  // 1899-12-30 to 1970-01-01

struct Token {
    enum Kind { kNumber, kMonth, kMeridiem, kColon, kSeparator } kind;
    int value = 0;   // number, month 1-12, or 12 for PM and 0 for AM
    int digits = 0;  // of a number
};

constexpr const char* kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                                   "july",    "august",   "september", "october", "november", "december"};
constexpr const char* kDays[] = {"sunday",   "monday", "tuesday", "wednesday",
                                 "thursday", "friday", "saturday"};

// A full name or its first three letters ("sept" too).
bool NameMatches(const std::string& word, const char* name) {
    std::string full(name);
    return word == full ||
           (word.size() >= 3 && word.size() < full.size() && full.compare(0, word.size(), word) == 0);
}

// False for a word that is no month, day, AM or PM.
bool ReadWord(const std::string& word, std::vector<Token>& tokens) {
    if (word == "am" || word == "pm") {
        tokens.push_back({Token::kMeridiem, word == "pm" ? 12 : 0});
        return true;
    }
    for (int m = 0; m < 12; ++m) {
        if (NameMatches(word, kMonths[m])) {
            tokens.push_back({Token::kMonth, m + 1});
            return true;
        }
    }
    for (const char* day : kDays) {
        if (NameMatches(word, day)) return true;  // day names are read past
    }
    return false;
}

std::optional<std::vector<Token>> Tokenize(const std::u16string& text) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c == u' ' || c == u'\t' || c == u',') {
            ++i;
        } else if (c >= u'0' && c <= u'9') {
            Token number{Token::kNumber};
            for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
                if (number.digits++ < 9) number.value = number.value * 10 + (text[i] - u'0');
            }
            tokens.push_back(number);
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            std::string word;
            for (; i < text.size() && std::isalpha(text[i] < 128 ? static_cast<int>(text[i]) : 0); ++i) {
                word.push_back(static_cast<char>(std::tolower(static_cast<int>(text[i]))));
            }
            if (word.size() > 12 || !ReadWord(word, tokens)) return std::nullopt;
        } else if (c == u':') {
            tokens.push_back({Token::kColon});
            ++i;
        } else if (c == u'/' || c == u'-' || c == u'.') {
            tokens.push_back({Token::kSeparator});
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

struct Parts {
    std::vector<Token> numbers;  // of the date
    int month_name = 0;
    size_t month_position = 0;  // date numbers before the month name
    bool has_time = false;
    int hour = 0, minute = 0, second = 0;
    int meridiem = -1;
};

// Reads "h:mm[:ss]" starting at tokens[i] (a number followed by a colon); false when malformed.
bool ReadTime(const std::vector<Token>& tokens, size_t& i, Parts& parts) {
    int fields[3] = {0, 0, 0};
    int count = 0;
    while (i < tokens.size() && tokens[i].kind == Token::kNumber && count < 3) {
        fields[count++] = tokens[i++].value;
        if (i < tokens.size() && tokens[i].kind == Token::kColon) {
            ++i;
            if (i >= tokens.size() || tokens[i].kind != Token::kNumber) return false;
        } else {
            break;
        }
    }
    if (count < 2) return false;
    parts.has_time = true;
    parts.hour = fields[0];
    parts.minute = fields[1];
    parts.second = fields[2];
    return true;
}

std::optional<Parts> Arrange(const std::vector<Token>& tokens) {
    Parts parts;
    for (size_t i = 0; i < tokens.size();) {
        const Token& token = tokens[i];
        bool time_follows =
            token.kind == Token::kNumber && i + 1 < tokens.size() && tokens[i + 1].kind == Token::kColon;
        if (time_follows) {
            if (parts.has_time || !ReadTime(tokens, i, parts)) return std::nullopt;
            continue;
        }
        switch (token.kind) {
            case Token::kNumber:
                if (parts.numbers.size() == 3) return std::nullopt;
                parts.numbers.push_back(token);
                break;
            case Token::kMonth:
                if (parts.month_name != 0) return std::nullopt;
                parts.month_name = token.value;
                parts.month_position = parts.numbers.size();
                break;
            case Token::kMeridiem:
                if (!parts.has_time || parts.meridiem >= 0) return std::nullopt;
                parts.meridiem = token.value;
                break;
            case Token::kColon:
                return std::nullopt;
            case Token::kSeparator:
                break;
        }
        ++i;
    }
    return parts;
}

int WindowYear(const Token& year) {
    if (year.digits > 2) return year.value;
    return year.value < 30 ? 2000 + year.value : 1900 + year.value;
}

int CurrentYear() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wYear;
}

// Year, month and day of the date part; nullopt when the numbers form no date.
std::optional<std::array<int, 3>> ReadDate(const Parts& parts) {
    const std::vector<Token>& n = parts.numbers;
    if (parts.month_name != 0) {
        if (n.size() == 2) {
            // "2006 January 2" puts the year first; otherwise the day comes first.
            bool year_first = n[0].value > 31 || n[0].digits > 2;
            const Token& day = year_first ? n[1] : n[0];
            const Token& year = year_first ? n[0] : n[1];
            return std::array<int, 3>{WindowYear(year), parts.month_name, day.value};
        }
        if (n.size() == 1) {
            if (n[0].value > 31 || n[0].digits > 2)
                return std::array<int, 3>{WindowYear(n[0]), parts.month_name, 1};
            return std::array<int, 3>{CurrentYear(), parts.month_name, n[0].value};
        }
        return std::nullopt;
    }
    if (n.size() == 3) {
        if (n[0].value > 31 || n[0].digits > 2)
            return std::array<int, 3>{WindowYear(n[0]), n[1].value, n[2].value};
        int month = n[0].value, day = n[1].value;
        // A day and month that only make sense the other way round are read so.
        if (month > 12 && day <= 12) std::swap(month, day);
        return std::array<int, 3>{WindowYear(n[2]), month, day};
    }
    if (n.size() == 2) {
        if (n[1].value > 31 || n[1].digits > 2) return std::array<int, 3>{WindowYear(n[1]), n[0].value, 1};
        return std::array<int, 3>{CurrentYear(), n[0].value, n[1].value};
    }
    return std::nullopt;
}

}  // namespace

QF_EXTERN_C HRESULT WINAPI VarDateFromStr(LPCWSTR text, LCID, ULONG, DATE* result) {
    if (text == nullptr || result == nullptr) return E_INVALIDARG;
    std::optional<std::vector<Token>> tokens = Tokenize(text);
    if (!tokens || tokens->empty()) return DISP_E_TYPEMISMATCH;
    std::optional<Parts> parts = Arrange(*tokens);
    if (!parts) return DISP_E_TYPEMISMATCH;
    bool has_date = !parts->numbers.empty() || parts->month_name != 0;
    if (!has_date && !parts->has_time) return DISP_E_TYPEMISMATCH;

    std::int64_t days = 0;  // since 1899-12-30
    if (has_date) {
        std::optional<std::array<int, 3>> date = ReadDate(*parts);
        if (!date || (*date)[0] < 100 || (*date)[0] > 9999 ||
            !IsRealDate((*date)[0], (*date)[1], (*date)[2])) {
            return DISP_E_TYPEMISMATCH;
        }
        days = DaysFromCivil((*date)[0], (*date)[1], (*date)[2]) + kOleEpochToUnixDays;
    }
    int hour = parts->hour;
    if (parts->meridiem >= 0) {
        if (hour < 1 || hour > 12) return DISP_E_TYPEMISMATCH;
        hour = hour % 12 + parts->meridiem;
    }
    if (hour > 23 || parts->minute > 59 || parts->second > 59) return DISP_E_TYPEMISMATCH;
    double fraction = (hour * 3600 + parts->minute * 60 + parts->second) / 86400.0;
    // Before 1899-12-30 the time of day counts away from zero, as OLE dates are written.
    *result = days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
    return S_OK;
}
