// Small queries about the device that the start-up checks, the database and the download use.
#pragma once

#include <string>

namespace qf {

// What DetectPlatform found; it decides how HTTP connections are opened and retried.
enum class PlatformClass {
    kOlderCe = 0,      // Windows CE before version 4, not a Pocket PC
    kPocketPcCe3 = 1,  // Windows CE 3 on a Pocket PC
    kCe4OrLater = 2,
};

// Any thread. Probes the OS version (and on CE 3 the platform type) and stores the class for
// CurrentPlatformClass(). True for kPocketPcCe3 and kCe4OrLater.
bool DetectPlatform();
// Any thread. The class stored by the last DetectPlatform (kOlderCe before the first).
PlatformClass CurrentPlatformClass();

// Any thread. Free bytes of the volume that holds `path` / 1024; 0 when the query fails.
double FreeSpaceKb(const std::u16string& path);
// Any thread. Length of the file / 1024; 0 for a folder or a missing file. The file is not
// opened.
double FileSizeKb(const std::u16string& path);
// The path up to, not including, its last backslash; empty when it has none.
std::u16string FolderOf(const std::u16string& path);

}  // namespace qf
