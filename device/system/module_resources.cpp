#include "system/module_resources.h"

#include "qfdevice/device.h"
#include "system/module_files.h"
#include "windows.h"

namespace qf::device {
namespace {

namespace fs = std::filesystem;

// A folder or file below `folder`; inside the device root its name is matched without regard to case,
// as every device path is.
fs::path Below(const fs::path& folder, const std::string& name) {
    fs::path host = folder / name;
    if (auto device = DevicePathOf(host)) {
        if (auto mapped = MapPath(*device)) return *mapped;
    }
    return host;
}

// The file name a resource name stands for; empty for one that is not a plain name.
std::string FileStem(LPCWSTR name) {
    if (name == nullptr) return {};
    if (IS_INTRESOURCE(name)) return std::to_string(reinterpret_cast<ULONG_PTR>(name));
    std::string text = WideToUtf8(name);
    if (text == "." || text == ".." || text.find_first_of("/\\") != std::string::npos) return {};
    return text;
}

}  // namespace

std::variant<fs::path, DWORD> ResourceFile(HINSTANCE instance, std::string_view type, LPCWSTR name,
                                           std::string_view extension) {
    auto module = ModuleHostFile(instance);
    if (!module) return DWORD{ERROR_RESOURCE_TYPE_NOT_FOUND};
    std::error_code error;
    fs::path folder = Below(module->parent_path(), module->stem().string() + ".resources");
    folder = Below(folder, std::string(type));
    if (!fs::is_directory(folder, error)) return DWORD{ERROR_RESOURCE_TYPE_NOT_FOUND};
    std::string stem = FileStem(name);
    if (stem.empty()) return DWORD{ERROR_RESOURCE_NAME_NOT_FOUND};
    fs::path file = Below(folder, stem + std::string(extension));
    if (!fs::is_regular_file(file, error)) return DWORD{ERROR_RESOURCE_NAME_NOT_FOUND};
    return file;
}

}  // namespace qf::device
