// VarDateFromStr: the date and time texts it reads, and those it refuses.
#include <gtest/gtest.h>
#include <win/oleauto.h>

#include "win/time.h"

namespace {

std::string Read(const char16_t* text) {
    DATE date = 0;
    if (VarDateFromStr(text, LOCALE_USER_DEFAULT, 0, &date) != S_OK) return "refused";
    SYSTEMTIME t{};
    VariantTimeToSystemTime(date, &t);
    char out[64];
    std::snprintf(out, sizeof out, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    return out;
}

TEST(VarDateFromStr, ReadsTheLocaleFormsAndRefusesTheRest) {
    struct Case {
        const char16_t* text;
        const char* expected;
    } cases[] = {{u"1/2/2006", "2006-01-02 00:00:00"},
                 {u"1/2/2006 10:00:05 PM", "2006-01-02 22:00:05"},
                 {u"12/31/99 12:30 AM", "1999-12-31 00:30:00"},
                 {u"13/2/2006", "2006-02-13 00:00:00"},
                 {u"2006-01-02 10:00", "2006-01-02 10:00:00"},
                 {u"January 2, 2006", "2006-01-02 00:00:00"},
                 {u"2 Jan 06 10:00", "2006-01-02 10:00:00"},
                 {u"Mon, 02 Jan 2006 10:00:00", "2006-01-02 10:00:00"},
                 {u"10:00 AM", "1899-12-30 10:00:00"},
                 {u"Mon, 02 Jan 2006 10:00:00 GMT", "refused"},
                 {u"Mon, 02 Jan 2006 10:00:00 +0100", "refused"},
                 {u"2006-01-02T10:00:00Z", "refused"},
                 {u"2/30/2006", "refused"},
                 {u"25:00", "refused"},
                 {u"13 PM", "refused"},
                 {u"2006", "refused"},
                 {u"", "refused"},
                 {u"soon", "refused"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Read(c.text), c.expected)
            << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    }
}

}  // namespace
