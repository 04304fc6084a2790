// Probes of the emulated device. What they report comes from the device profile (qfdevice/device.h),
// except free disk space, which is the host volume under the device root unless the profile sets it.
#pragma once

#include "win/base.h"

struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};
using LPOSVERSIONINFOW = OSVERSIONINFOW*;
#define VER_PLATFORM_WIN32_CE 3

struct MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORD dwTotalPhys;
    DWORD dwAvailPhys;
    DWORD dwTotalPageFile;
    DWORD dwAvailPageFile;
    DWORD dwTotalVirtual;
    DWORD dwAvailVirtual;
};
using LPMEMORYSTATUS = MEMORYSTATUS*;

#define SPI_GETPLATFORMTYPE 257
#define SPI_GETOEMINFO 258

// Any thread. Fills the profile's OS version; FALSE when dwOSVersionInfoSize is too small.
QF_EXTERN_C BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info);
// Any thread. SPI_GETPLATFORMTYPE and SPI_GETOEMINFO write the profile's zero-terminated text into
// `param` (`ui_param` bytes); FALSE when it does not fit or the action is unknown.
QF_EXTERN_C BOOL WINAPI SystemParametersInfoW(UINT action, UINT ui_param, PVOID param, UINT win_ini);
// Any thread. Fills the profile's memory figures (dwLength must be set by the caller).
QF_EXTERN_C void WINAPI GlobalMemoryStatus(LPMEMORYSTATUS status);
// Any thread. Free space of the host volume that holds the device path (a file or folder, which must
// exist), or the profile's free_disk_bytes when set; FALSE when the path does not exist. Each
// out-parameter may be null.
QF_EXTERN_C BOOL WINAPI GetDiskFreeSpaceExW(LPCWSTR path, PULARGE_INTEGER free_to_caller,
                                            PULARGE_INTEGER total_bytes, PULARGE_INTEGER total_free);
// Any thread. The profile's locale (0x0409 unless the profile says otherwise).
QF_EXTERN_C LANGID WINAPI GetSystemDefaultLangID();
QF_EXTERN_C LCID WINAPI GetSystemDefaultLCID();
