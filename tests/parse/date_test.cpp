#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "parse/dates.h"
#include "qfdevice/device.h"
#include "support/temp_device.h"

namespace qf {
namespace {

std::string Text(const DateTime& time) {
    const DateTime::Fields f = time.ToFields();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(f.year),
                  f.month, f.day, f.hour, f.minute, f.second);
    return buffer;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// The device clock pinned at 2010-06-15 12:34:56 local time, five hours behind GMT.
class PinnedClock : public ::testing::Test {
  protected:
    void SetUp() override {
        device::Profile profile;
        profile.time_zone_bias_minutes = 300;
        device::OverrideProfile(profile);
        device::PinClock(SYSTEMTIME{2010, 6, 2, 15, 12, 34, 56, 789});
    }
    void TearDown() override {
        device::UnpinClock();
        device::OverrideProfile(std::nullopt);
    }

    test::TempDevice device_;
};

TEST(DateTime, FieldsCarryOverLikeMktime) {
    EXPECT_EQ(Text(DateTime::FromFields(2006, 1, 2, 10, 0, 0)), "2006-01-02 10:00:00");
    EXPECT_EQ(Text(DateTime::FromFields(2006, 0, 0)), "2005-11-30 00:00:00");
    EXPECT_EQ(Text(DateTime::FromFields(2006, 13, 31, 24)), "2007-02-01 00:00:00");
    EXPECT_EQ(Text(DateTime::FromFields(2006, 4, 31)), "2006-05-01 00:00:00");
    EXPECT_EQ(Text(DateTime::FromFields(2000, 2, 29, 23, 59, 60)), "2000-03-01 00:00:00");
    EXPECT_EQ(Text(DateTime::FromFields(1969, 12, 31, 23, 59, 59).AddSeconds(1)), "1970-01-01 00:00:00");
    // Extreme values read from hostile text must not overflow.
    constexpr int kMax = INT32_MAX;
    EXPECT_GE(DateTime::FromFields(kMax, kMax, kMax, kMax, kMax, kMax).ToFields().month, 1);
    EXPECT_FALSE(DateTime::FromFields(40000, 1, 1).ToSystemTime().has_value());
    EXPECT_EQ(DateTime::FromFields(2006, 1, 2).ToSystemTime()->wDayOfWeek, 1);  // a Monday
}

TEST_F(PinnedClock, ParseDateReadsBothForms) {
    const std::string now = "2010-06-15 12:34:56";
    const struct {
        const char16_t* text;
        std::string expected;
    } kCases[] = {{u"Mon, 02 Jan 2006 10:00:00 EDT", "2006-01-02 14:00:00"},
                  {u"Mon, 02 Jan 2006 10:00:00 GMT", "2006-01-02 10:00:00"},
                  {u"  Mon, 02 Jan 2006 10:00:00 pst \t", "2006-01-02 18:00:00"},
                  {u"Mon, 02 Jan 2006 10:00:00 +0200", "2006-01-02 10:00:00"},
                  {u"Mon, 02 Jan 2006 10:00 GMT", "2006-01-02 00:00:00"},
                  {u"Mon, 02 Jan 2006 10:00:00", "2006-01-02 00:00:00"},
                  {u"Mon, 02 January 2006 10:00:00 GMT", "2006-01-02 10:00:00"},
                  {u"Mon, 02 Dec 06 10:00:00 CST", "2006-12-02 16:00:00"},
                  {u"Mon, 02 Jan 2006", now},
                  {u"02 Jan 2006 10:00:00 GMT", now},
                  {u"2006-01-02T10:00:00Z", "2006-01-02 10:00:00"},
                  {u"2006-01-02T10:00:30Z", "2006-01-02 10:00:00"},
                  {u"2006-01-02T10:00:30+01:00", "2006-01-02 09:00:30"},
                  {u"2006-01-02T10:00:00-05:00", "2006-01-02 15:00:00"},
                  {u"2006-01-02T10:00:30+0100", "2006-01-02 10:00:30"},
                  {u"2006-01-02T23:30:00-05:30", "2006-01-03 04:30:00"},
                  {u"06-01-02T10:00:00Z", "2006-01-02 10:00:00"},
                  {u"2006-01-02T10", "2006-01-02 00:00:00"},
                  {u"2006-01T10:00:00Z", now},
                  {u"Tue, 10 Jun 2003 04:00:00 -0500", now},
                  {u"2006-00-00T00:00:00Z", "2005-11-30 00:00:00"},
                  {u"", now},
                  {u"yesterday", now}};
    for (const auto& c : kCases) EXPECT_EQ(Text(ParseDate(c.text)), c.expected) << Narrow(c.text);
}

TEST_F(PinnedClock, NowFormatsAndNumbersFollowThePinnedClock) {
    EXPECT_EQ(Text(NowLocal()), "2010-06-15 12:34:56");
    EXPECT_EQ(Text(NowGmt()), "2010-06-15 17:34:56");
    EXPECT_EQ(Text(DateTime::FromSystemTime(NowGmtSystemTime())), "2010-06-15 17:34:56");
    EXPECT_EQ(FormatLogTime(NowGmtOle()), u"06/15/2010 17:34");

    // The formats write the fields as they are.
    EXPECT_EQ(FormatGmt(DateTime::FromFields(2006, 1, 2, 9, 5, 59)), u"2006-01-02 09:05 GMT");
    EXPECT_EQ(FormatGmt(SYSTEMTIME{2006, 1, 1, 2, 15, 0, 0, 0}), u"2006-01-02 15:00 GMT");
    EXPECT_EQ(FormatLogTime(DateTime::FromFields(2006, 1, 2, 15, 0, 0)), u"01/02/2006 15:00");
    EXPECT_EQ(FormatLogTime(38719.625), u"01/02/2006 15:00");

    // Numbers count seconds since 2001 and stay unique.
    const DateTime start = DateTime::FromFields(2001, 1, 1);
    const int expected =
        static_cast<int>(DateTime::FromFields(2010, 6, 15, 12, 34, 56).seconds() - start.seconds());
    EXPECT_EQ(SecondsSince2001(), expected);
    const int first = UniqueNumber(), second = UniqueNumber();
    EXPECT_TRUE(first >= expected && second == first + 1) << first << " " << second;
}

}  // namespace
}  // namespace qf
