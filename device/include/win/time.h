// The device clock. Every time read goes through one clock per process with its own time-zone bias;
// it follows the host clock, or is pinned (QUILLFEED_CLOCK) and moved only by qf::device::StepClock.
#pragma once

#include "win/base.h"

struct TIME_ZONE_INFORMATION {
    LONG Bias;  // minutes: UTC = local time + Bias
    WCHAR StandardName[32];
    SYSTEMTIME StandardDate;
    LONG StandardBias;
    WCHAR DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
};
using LPTIME_ZONE_INFORMATION = TIME_ZONE_INFORMATION*;
#define TIME_ZONE_ID_UNKNOWN 0
#define TIME_ZONE_ID_STANDARD 1
#define TIME_ZONE_ID_INVALID 0xFFFFFFFFu

// Any thread. The device's local time, and UTC (= local + bias).
QF_EXTERN_C void WINAPI GetLocalTime(LPSYSTEMTIME time);
QF_EXTERN_C void WINAPI GetSystemTime(LPSYSTEMTIME time);
// Any thread. Fills the device's zone (no daylight saving); answers TIME_ZONE_ID_STANDARD.
QF_EXTERN_C DWORD WINAPI GetTimeZoneInformation(LPTIME_ZONE_INFORMATION tz);
// Any thread. Milliseconds of device time since the process started, wrapping at 2^32.
QF_EXTERN_C DWORD WINAPI GetTickCount();
// Any thread. Blocks the calling thread for `ms` milliseconds of host time (a pinned clock does not move).
QF_EXTERN_C void WINAPI Sleep(DWORD ms);

// Any thread. Conversions between calendar times and 100-ns counts since 1601-01-01. FALSE for a field
// out of range (month 13, day 31 of a 30-day month, year before 1601 or after 30827).
QF_EXTERN_C BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* time, LPFILETIME file_time);
QF_EXTERN_C BOOL WINAPI FileTimeToSystemTime(const FILETIME* file_time, LPSYSTEMTIME time);
// Any thread. -1, 0 or 1.
QF_EXTERN_C LONG WINAPI CompareFileTime(const FILETIME* a, const FILETIME* b);
// Any thread. OLE automation dates (days since 1899-12-30, range years 100 to 9999). Milliseconds are
// ignored; VariantTimeToSystemTime rounds to the nearest second. 0 (FALSE) when out of range.
// As on the device, SystemTimeToVariantTime fails only for a month above 12, a day above 31 or a year
// above 9999; years 0-29 mean 2000-2029 and 30-99 mean 1930-1999, and other fields roll over (day 0 is
// the last day of the month before, 30 February is in March, hour 24 is the next day).
QF_EXTERN_C int WINAPI SystemTimeToVariantTime(const SYSTEMTIME* time, DATE* variant_time);
QF_EXTERN_C int WINAPI VariantTimeToSystemTime(DATE variant_time, LPSYSTEMTIME time);
