#include <algorithm>
#include <cstring>

#include "qfdevice/device.h"
#include "system/host_files.h"
#include "system/module_files.h"
#include "win/files.h"
#include "win/strings.h"

namespace fs = std::filesystem;
using namespace qf::device;

namespace {

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
    auto host = ModuleHostFile(module);
    if (!host) {
        CopyCut(u"", buffer, size);
        return FailWith(ERROR_MOD_NOT_FOUND);
    }
    if (auto device = DevicePathOf(*host)) return CopyCut(*device, buffer, size);
    // A module loaded from outside the device still needs a plausible device name.
    CopyCut(u"\\" + qf::Utf8ToWide(host->filename().string()), buffer, size);
    return FailWith(ERROR_FILE_NOT_FOUND);
}
