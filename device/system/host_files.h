// Glue between the Win32-style file functions and the host file system.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "system/beneath.h"
#include "system/win32_result.h"
#include "win/base.h"

namespace qf::device {

// How MapDevicePath treats the last component of a path.
enum class LeafSpelling {
    kMatchExisting,  // an existing entry that differs only in case is used, as for every other component
    kAsGiven,        // the last component keeps the caller's spelling (renaming "a.txt" to "A.TXT")
};

// Any thread. MapPath with a choice for the spelling of the last component and for a link there.
std::optional<std::filesystem::path> MapDevicePath(std::u16string_view device_path, LeafSpelling leaf,
                                                   LeafLink link = LeafLink::kFollow);

// Any thread. Maps the device path of a Win32 call; a null, relative, escaping or hidden path sets
// ERROR_PATH_NOT_FOUND, a path through a link that leads outside the root ERROR_ACCESS_DENIED, and
// answers nullopt.
std::optional<std::filesystem::path> MapPathForCall(LPCWSTR device_path,
                                                    LeafSpelling leaf = LeafSpelling::kMatchExisting,
                                                    LeafLink link = LeafLink::kFollow);

// Any thread. True for the host folder that stands for "\".
bool IsDeviceRoot(const std::filesystem::path& host_path);

// Any thread. The Win32 error for the errno of a failed host call on `host_path`: a missing entry is
// ERROR_PATH_NOT_FOUND when the folder above it is missing too, else ERROR_FILE_NOT_FOUND.
DWORD Win32ErrorFromErrno(int error_number, const std::filesystem::path& host_path);
// Any thread. SetLastError(Win32ErrorFromErrno(...)); answers FALSE for the caller to return.
BOOL FailWithErrno(int error_number, const std::filesystem::path& host_path);

}  // namespace qf::device
