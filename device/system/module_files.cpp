#include "system/module_files.h"

#include <dlfcn.h>

namespace qf::device {

std::optional<std::filesystem::path> ModuleHostFile(HMODULE module) {
    std::error_code error;
    if (module != nullptr) {
        Dl_info info{};
        if (::dladdr(module, &info) == 0 || info.dli_fname == nullptr) return std::nullopt;
        // The dynamic linker reports the main program by an empty name.
        if (info.dli_fname[0] != '\0') return std::filesystem::absolute(info.dli_fname, error);
    }
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return program;
}

}  // namespace qf::device
