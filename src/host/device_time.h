// The device's local time as one number, for measuring gaps between events.
#pragma once

#include <cstdint>

namespace qf::host {

// Any thread. Milliseconds of the device's local time since 1601-01-01.
std::int64_t DeviceLocalTimeMs();

}  // namespace qf::host
