#include <dlfcn.h>

#include <algorithm>
#include <cstring>

#include "qfdevice/device.h"
#include "system/host_files.h"
#include "win/files.h"
#include "win/strings.h"

namespace fs = std::filesystem;
using namespace qf::device;

namespace {

// The host file of a module. A module handle is any address inside the module, such as its base
// address; null stands for the main program.
std::optional<fs::path> HostFileOf(HMODULE module) {
    std::error_code error;
    if (module != nullptr) {
        Dl_info info{};
        if (::dladdr(module, &info) == 0 || info.dli_fname == nullptr) return std::nullopt;
        // The dynamic linker reports the main program by an empty name.
        if (info.dli_fname[0] != '\0') return fs::absolute(info.dli_fname, error);
    }
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return program;
}

// Copies `text` zero-terminated into `buffer`, cut to `size` characters in all; answers the characters
// copied without the terminator.
DWORD CopyCut(const std::u16string& text, LPWSTR buffer, DWORD size) {
    if (size == 0) return 0;
    size_t copied = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), copied * sizeof(char16_t));
    buffer[copied] = u'\0';
    if (copied < text.size()) SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return static_cast<DWORD>(copied);
}

}  // namespace

QF_EXTERN_C DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    if (buffer == nullptr && size > 0) return FailWith(ERROR_INVALID_PARAMETER);
    auto host = HostFileOf(module);
    if (!host) {
        CopyCut(u"", buffer, size);
        return FailWith(ERROR_MOD_NOT_FOUND);
    }
    if (auto device = DevicePathOf(*host)) return CopyCut(*device, buffer, size);
    // A module loaded from outside the device still needs a plausible device name.
    CopyCut(u"\\" + qf::Utf8ToWide(host->filename().string()), buffer, size);
    return FailWith(ERROR_FILE_NOT_FOUND);
}
