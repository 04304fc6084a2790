#include "common/system_info.h"

#include <windows.h>

#include <array>
#include <atomic>

namespace qf {
namespace {

std::atomic<PlatformClass> platform_class{PlatformClass::kOlderCe};

constexpr double kBytesToKb = 1.0 / 1024.0;

}  // namespace

bool DetectPlatform() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    PlatformClass found = PlatformClass::kOlderCe;
    if (GetVersionExW(&version)) {
        if (version.dwMajorVersion >= 4) {
            found = PlatformClass::kCe4OrLater;
        } else if (version.dwMajorVersion == 3) {
            std::array<WCHAR, 256> platform{};
            if (SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(platform), platform.data(), 0) &&
                lstrcmpW(platform.data(), u"PocketPC") == 0) {
                found = PlatformClass::kPocketPcCe3;
            }
        }
    }
    platform_class = found;
    return found != PlatformClass::kOlderCe;
}

PlatformClass CurrentPlatformClass() { return platform_class; }

double FreeSpaceKb(const std::u16string& path) {
    ULARGE_INTEGER total_free{};
    if (!GetDiskFreeSpaceExW(path.c_str(), nullptr, nullptr, &total_free)) return 0;
    return static_cast<double>(total_free.QuadPart) * kBytesToKb;
}

// Without opening the file: closing a descriptor of the database would drop this process's database
// locks, and another program's engine would then take the file as no longer in use.
double FileSizeKb(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return 0;
    }
    // The device reads the length as a 32-bit number.
    return static_cast<double>(data.nFileSizeLow) * kBytesToKb;
}

std::u16string FolderOf(const std::u16string& path) {
    size_t last = path.rfind(u'\\');
    return last == std::u16string::npos ? std::u16string() : path.substr(0, last);
}

}  // namespace qf
