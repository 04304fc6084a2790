#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "qfdevice/device.h"
#include "system/host_files.h"
#include "win/sysinfo.h"

using namespace qf::device;

namespace {

// A device process sees a 32 MB slot of address space, as on Windows CE.
constexpr DWORD kVirtualBytes = 32u << 20;

BOOL CopyText(const std::u16string& text, UINT buffer_bytes, PVOID buffer) {
    size_t bytes = (text.size() + 1) * sizeof(char16_t);
    if (buffer == nullptr || bytes > buffer_bytes) return FailWith(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, text.c_str(), bytes);
    return TRUE;
}

}  // namespace

QF_EXTERN_C BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info) {
    if (info == nullptr || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW)) {
        return FailWith(ERROR_INSUFFICIENT_BUFFER);
    }
    Profile profile = CurrentProfile();
    info->dwMajorVersion = profile.os_major;
    info->dwMinorVersion = profile.os_minor;
    info->dwBuildNumber = profile.os_build;
    info->dwPlatformId = VER_PLATFORM_WIN32_CE;
    info->szCSDVersion[0] = u'\0';
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI SystemParametersInfoW(UINT action, UINT ui_param, PVOID param, UINT) {
    switch (action) {
        case SPI_GETPLATFORMTYPE:
            return CopyText(CurrentProfile().platform_type, ui_param, param);
        case SPI_GETOEMINFO:
            return CopyText(CurrentProfile().oem_info, ui_param, param);
        default:
            return FailWith(ERROR_INVALID_PARAMETER);
    }
}

QF_EXTERN_C void WINAPI GlobalMemoryStatus(LPMEMORYSTATUS status) {
    if (status == nullptr) return;
    Profile profile = CurrentProfile();
    DWORD total = profile.total_phys_bytes;
    DWORD available = std::min(profile.avail_phys_bytes, total);
    status->dwLength = sizeof(MEMORYSTATUS);
    status->dwMemoryLoad = total == 0 ? 0 : static_cast<DWORD>(100 - std::uint64_t{available} * 100 / total);
    status->dwTotalPhys = total;
    status->dwAvailPhys = available;
    status->dwTotalPageFile = 0;
    status->dwAvailPageFile = 0;
    status->dwTotalVirtual = kVirtualBytes;
    status->dwAvailVirtual = kVirtualBytes;
}

QF_EXTERN_C BOOL WINAPI GetDiskFreeSpaceExW(LPCWSTR path, PULARGE_INTEGER free_to_caller,
                                            PULARGE_INTEGER total_bytes, PULARGE_INTEGER total_free) {
    auto host = MapPathForCall(path != nullptr ? path : u"\\");  // null asks about the root's volume
    if (!host) return FALSE;
    struct stat entry;
    if (::stat(host->c_str(), &entry) != 0) return FailWithErrno(errno, *host);
    struct statvfs volume;
    if (::statvfs(host->c_str(), &volume) != 0) return FailWithErrno(errno, *host);
    auto bytes = [&volume](std::uint64_t blocks) { return blocks * volume.f_frsize; };
    std::uint64_t total = bytes(volume.f_blocks);
    std::uint64_t available = bytes(volume.f_bavail);
    std::uint64_t free = bytes(volume.f_bfree);
    // A profile that sets the free space (to provoke a full disk) speaks for every volume.
    if (std::optional<std::uint64_t> profile_free = CurrentProfile().free_disk_bytes) {
        available = free = *profile_free;
        total = std::max(total, free);
    }
    if (free_to_caller != nullptr) free_to_caller->QuadPart = available;
    if (total_bytes != nullptr) total_bytes->QuadPart = total;
    if (total_free != nullptr) total_free->QuadPart = free;
    return TRUE;
}

QF_EXTERN_C LANGID WINAPI GetSystemDefaultLangID() { return CurrentProfile().lang_id; }

// The default sort order (0) leaves the locale identifier equal to the language identifier.
QF_EXTERN_C LCID WINAPI GetSystemDefaultLCID() { return CurrentProfile().lang_id; }
