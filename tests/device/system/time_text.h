// Building and printing SYSTEMTIME values in the time tests.
#pragma once

#include <cstdio>
#include <string>

#include "windows.h"

namespace qf::test {

inline SYSTEMTIME MakeTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                           int ms = 0) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    time.wMilliseconds = static_cast<WORD>(ms);
    return time;
}

// "2026-12-05 14:00:00.000"; the day of the week is left out.
inline std::string TimeText(const SYSTEMTIME& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

}  // namespace qf::test
