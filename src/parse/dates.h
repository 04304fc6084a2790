// Feed dates: the parser for the e-mail form of RSS 2.0 and the ISO 8601 form of RSS 1.0 and Atom, the
// current time as GMT in the three forms the item uses, the text forms of dates, and the clock-based
// unique numbers. Times come from the device clock; GMT = local time + the zone's Bias in minutes
// (daylight and standard biases are not added).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "parse/date_time.h"

namespace qf {

// Any thread. The GMT instant written in `text`: "Mon, 02 Jan 2006 10:00:00 EDT" or
// "2006-01-02T10:00:00-05:00". Never fails: text that fits neither form gives the current local time,
// and text that breaks off early gives what was read so far (often the day at 00:00:00).
DateTime ParseDate(std::u16string_view text);

// Any thread. 1-12 for "jan".."dec" in any letter case; anything else (a full month name too) gives 1.
int MonthFromName(std::u16string_view name);

// Any thread. The current local time of the device clock, to the second.
DateTime NowLocal();
// Any thread. The current GMT time as a date-time value, an OLE automation date and a SYSTEMTIME.
DateTime NowGmt();
DATE NowGmtOle();
SYSTEMTIME NowGmtSystemTime();

// Any thread. "2006-01-02 15:00 GMT": the fields of `time` as they are, with the label.
std::u16string FormatGmt(const DateTime& time);
std::u16string FormatGmt(const SYSTEMTIME& time);
// Any thread. "01/02/2006 15:00" (month/day/year). An OLE date out of range gives the empty string.
std::u16string FormatLogTime(const DateTime& time);
std::u16string FormatLogTime(DATE time);

// Any thread. Whole seconds from 2001-01-01 00:00:00 to the current local time.
int SecondsSince2001();
// Any thread. SecondsSince2001() plus a process-wide counter that starts at 0 and grows by one per call,
// so that two calls within one second differ.
int UniqueNumber();

}  // namespace qf
