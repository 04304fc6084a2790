#include "shared/variant.h"

#include <gtest/gtest.h>

#include <optional>

#include "shared/date_text.h"
#include "win/strings.h"

namespace qf {
namespace {

struct Conversion {
    Variant from;
    VARENUM to;
    std::optional<Variant> expected;
};

// The conversions the record layer relies on, as one table: rounding, ranges, text and dates.
TEST(Variant, ChangeTypeTable) {
    DATE jan2 = *ParseDateText(u"2006-01-02 10:00:00");
    const Conversion table[] = {
        {Variant::String(u"42"), VT_I4, Variant::I4(42)},
        {Variant::String(u" -7 "), VT_I4, Variant::I4(-7)},
        {Variant::String(u"12.5"), VT_I4, Variant::I4(12)},  // half to even
        {Variant::String(u"13.5"), VT_I4, Variant::I4(14)},
        {Variant::String(u"abc"), VT_I4, std::nullopt},
        {Variant::String(u""), VT_I4, std::nullopt},
        {Variant::String(u"12abc"), VT_I4, std::nullopt},
        {Variant::String(u"40000"), VT_I2, std::nullopt},
        {Variant::I4(40000), VT_I2, std::nullopt},
        {Variant::I4(-32768), VT_I2, Variant::I2(-32768)},
        {Variant::R8(2.5), VT_I2, Variant::I2(2)},
        {Variant::Bool(true), VT_I4, Variant::I4(-1)},
        {Variant::I2(0), VT_BOOL, Variant::Bool(false)},
        {Variant::String(u"True"), VT_BOOL, Variant::Bool(true)},
        {Variant(), VT_I4, Variant::I4(0)},
        {Variant(), VT_BSTR, Variant::String(u"")},
        {Variant::Null(), VT_I4, std::nullopt},
        {Variant::Null(), VT_BSTR, std::nullopt},
        {Variant::I4(123), VT_BSTR, Variant::String(u"123")},
        {Variant::R8(0.1), VT_BSTR, Variant::String(u"0.1")},
        {Variant::Bool(true), VT_BSTR, Variant::String(u"-1")},
        {Variant::Date(jan2), VT_BSTR, Variant::String(u"2006-01-02 10:00:00")},
        {Variant::String(u"01/02/2006 10:00"), VT_DATE, Variant::Date(jan2)},
        {Variant::String(u"2006-01-02T10:00"), VT_DATE, Variant::Date(jan2)},
        {Variant::String(u"not a date"), VT_DATE, std::nullopt},
        {Variant::String(u"2006-01-02"), VT_I4, std::nullopt},
    };
    for (const Conversion& row : table) {
        auto text = ChangeType(row.from, VT_BSTR);
        SCOPED_TRACE(text ? std::string(text->text().begin(), text->text().end()) : std::string("(null)"));
        SCOPED_TRACE(row.to);
        EXPECT_EQ(ChangeType(row.from, row.to), row.expected);
    }
}

TEST(DateText, ReadsBothFormsAndRefusesImpossibleDays) {
    EXPECT_EQ(ParseDateText(u"2006-01-02 10:00:00"), ParseDateText(u"01/02/2006 10:00"));
    EXPECT_EQ(ParseDateText(u"1/2/2006 10:00:00"), ParseDateText(u"2006-01-02 10:00"));
    EXPECT_TRUE(ParseDateText(u"1900-01-01 13:14:15") && ParseDateText(u"2004-02-29"));
    for (const char16_t* refused : {u"2006-02-29", u"2006-04-31 10:00", u"2006-13-01", u"2006-01-02 24:00",
                                    u"2006-01-02 10:00 GMT", u"01/02/06 10:00"})
        EXPECT_FALSE(ParseDateText(refused)) << WideToUtf8(refused);
}

TEST(DateText, FormatRoundsToTheSecondAndRoundTrips) {
    DATE value = *ParseDateText(u"2026-12-05 14:00:59");
    EXPECT_EQ(*FormatDateText(value) + u"," + *FormatDateText(value + 0.4 / 86400) + u"," +
                  *FormatDateText(value + 0.6 / 86400),
              u"2026-12-05 14:00:59,2026-12-05 14:00:59,2026-12-05 14:01:00");
}

}  // namespace
}  // namespace qf
