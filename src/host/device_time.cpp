#include "host/device_time.h"

#include <windows.h>

namespace qf::host {

std::int64_t DeviceLocalTimeMs() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    FILETIME file_time{};
    SystemTimeToFileTime(&local, &file_time);
    ULARGE_INTEGER ticks{};
    ticks.u.LowPart = file_time.dwLowDateTime;
    ticks.u.HighPart = file_time.dwHighDateTime;
    return static_cast<std::int64_t>(ticks.QuadPart / 10'000);
}

}  // namespace qf::host
