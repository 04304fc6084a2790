#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "qfdevice/device.h"
#include "system/calendar.h"
#include "win/time.h"

using namespace qf::device;

namespace {

// "UTC+01:00" for a bias of -60 minutes (local time is ahead of UTC).
void WriteZoneName(LONG bias_minutes, WCHAR (&name)[32]) {
    char text[16];
    LONG offset = -bias_minutes;
    std::snprintf(text, sizeof text, "UTC%c%02ld:%02ld", offset < 0 ? '-' : '+', std::labs(offset) / 60,
                  std::labs(offset) % 60);
    size_t i = 0;
    for (; text[i] != '\0'; ++i) name[i] = static_cast<WCHAR>(text[i]);
    name[i] = u'\0';
}

}  // namespace

QF_EXTERN_C void WINAPI GetLocalTime(LPSYSTEMTIME time) {
    if (time == nullptr) return;
    LONG bias_minutes = CurrentProfile().time_zone_bias_minutes;
    *time = SystemTimeFromUnixMs(NowUtcMs() - std::int64_t{bias_minutes} * 60'000);
}

QF_EXTERN_C void WINAPI GetSystemTime(LPSYSTEMTIME time) {
    if (time != nullptr) *time = SystemTimeFromUnixMs(NowUtcMs());
}

QF_EXTERN_C DWORD WINAPI GetTimeZoneInformation(LPTIME_ZONE_INFORMATION tz) {
    if (tz == nullptr) return TIME_ZONE_ID_INVALID;
    *tz = TIME_ZONE_INFORMATION{};
    tz->Bias = CurrentProfile().time_zone_bias_minutes;
    WriteZoneName(tz->Bias, tz->StandardName);
    WriteZoneName(tz->Bias, tz->DaylightName);
    return TIME_ZONE_ID_STANDARD;
}

QF_EXTERN_C DWORD WINAPI GetTickCount() { return static_cast<DWORD>(DeviceUptimeMs()); }

QF_EXTERN_C void WINAPI Sleep(DWORD ms) {
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    } while (ms == INFINITE);
}
