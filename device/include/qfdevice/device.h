// Host-side control of the emulated device: which host folder is its root, what it reports about
// itself (the profile), and its clock. Hosts, the command line and tests use this; the plug-in does not.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "win/types.h"

namespace qf::device {

// ---- Device root -------------------------------------------------------------------------------------

// Any thread, before other device calls use the root. Chooses the host folder that stands for "\"; an
// empty path goes back to the choice DeviceRoot() makes without one.
void SetDeviceRoot(const std::filesystem::path& root);
// Any thread. The root set above; else $QUILLFEED_DEVICE; else DefaultDeviceRoot().
std::filesystem::path DeviceRoot();
// $XDG_DATA_HOME/quillfeed/device, or ~/.local/share/quillfeed/device.
std::filesystem::path DefaultDeviceRoot();
// The host folder of the runtime's own state (registry hive, profile, locks): below the root but not
// reachable through device paths.
std::filesystem::path StateDir();
// Any thread. Maps a device path ("\Program Files\x.txt"; "/" is accepted as a separator) to a host path.
// Existing components are matched without regard to case; missing ones keep the given spelling.
// Empty result for a relative path, one that leaves the root, or one that reaches StateDir().
std::optional<std::filesystem::path> MapPath(std::u16string_view device_path);
// The device path of a host path inside the root, or nullopt when it lies outside.
std::optional<std::u16string> DevicePathOf(const std::filesystem::path& host_path);

// ---- Registry file -----------------------------------------------------------------------------------

// The host file that holds the device's registry (inside StateDir()).
std::filesystem::path RegistryFilePath();
// Any thread. False when the registry file exists but cannot be read as a registry (not a database, fails
// the integrity check, or of another layout): every registry call would then fail, and settings reads
// would answer their defaults. True for a healthy file and for a missing one (an empty registry).
bool IsRegistryFileReadable();

// ---- Profile -----------------------------------------------------------------------------------------

// What the emulated device reports about itself; `quillfeed init` writes it into the device root.
struct Profile {
    std::string name = "qvga";
    int screen_width = 240;
    int screen_height = 320;
    int dpi = 96;
    DWORD os_major = 4;
    DWORD os_minor = 21;
    DWORD os_build = 1088;
    std::u16string platform_type = u"PocketPC";
    std::u16string oem_info = u"Quillfeed Emulated Device";
    LANGID lang_id = 0x0409;
    DWORD total_phys_bytes = 64u << 20;
    DWORD avail_phys_bytes = 32u << 20;
    // Free space that GetDiskFreeSpaceExW reports for every path; unset: the host volume's.
    std::optional<std::uint64_t> free_disk_bytes;
    LONG time_zone_bias_minutes = 0;  // UTC = local + bias
};

// The named profiles of `quillfeed init --profile`: "qvga" (240x320, 96 dpi), "vga" (480x640, 192 dpi),
// "vga96" (480x640, 96 dpi). nullopt for an unknown name.
std::optional<Profile> NamedProfile(std::string_view name);
// Any thread. The override if one is set, else the device root's profile file, else the defaults.
Profile CurrentProfile();
// Writes `profile` as the device root's profile file; false on an I/O error.
bool SaveProfile(const Profile& profile);
// Tests: replaces what CurrentProfile() answers in this process (nullopt removes the override).
void OverrideProfile(std::optional<Profile> profile);

// ---- Clock -------------------------------------------------------------------------------------------

// Any thread. Pins the device's local time: from now on it moves only through StepClock, and
// GetTickCount stands still with it. An invalid time is ignored.
// QUILLFEED_CLOCK=YYYY-MM-DDTHH:MM:SS pins it at process start (anything else there is reported on stderr
// and ignored).
void PinClock(const SYSTEMTIME& local_time);
// Any thread. Lets the clock follow the host clock again.
void UnpinClock();
bool ClockPinned();
// Any thread. Moves the device clock forward (pinned or not) and tells the step listeners; a step that
// is not positive is ignored.
void StepClock(std::chrono::milliseconds step);
// Any thread. Moves the wall clock as a suspended device sees it when it wakes: local and UTC time move
// on by `slept`, uptime (GetTickCount, timers, Sleep) does not, so no timer tick falls due for the time
// asleep. A step that is not positive is ignored.
void SuspendClock(std::chrono::milliseconds slept);
// Any thread. The device's UTC time in milliseconds since 1970-01-01.
std::int64_t NowUtcMs();
// Any thread. Milliseconds of device time since the process started (GetTickCount without the wrap).
std::int64_t DeviceUptimeMs();
// Listeners run on the stepping thread after every StepClock, one step at a time; the window manager
// uses this to deliver the timers that fell due. A listener may add or remove listeners (itself too) but
// must not wait for another thread that steps the clock or removes a listener. After
// RemoveClockStepListener returns, the listener is not called again. Answers an id for removal.
int AddClockStepListener(std::function<void()> listener);
void RemoveClockStepListener(int id);

}  // namespace qf::device
