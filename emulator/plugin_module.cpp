#include "plugin_module.h"

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>

namespace qf::emu {
namespace {

// The loader maps a library's segments without reading them, so a file cut short would only fail (with
// SIGBUS) once code past its end runs: check that every loaded segment lies inside the file first.
std::optional<std::string> CutShort(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    Elf64_Ehdr header{};
    if (!in.read(reinterpret_cast<char*>(&header), sizeof header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) {
        return std::nullopt;  // not one of ours: the loader says why
    }
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    std::uint64_t needed = header.e_phoff + std::uint64_t{header.e_phnum} * sizeof(Elf64_Phdr);
    in.seekg(static_cast<std::streamoff>(header.e_phoff));
    for (int i = 0; i < header.e_phnum && in; ++i) {
        Elf64_Phdr segment{};
        if (!in.read(reinterpret_cast<char*>(&segment), sizeof segment)) break;
        if (segment.p_type == PT_LOAD)
            needed = std::max<std::uint64_t>(needed, segment.p_offset + segment.p_filesz);
    }
    if (!error && size >= needed) return std::nullopt;
    return file.string() + " is cut short (" + std::to_string(size) + " bytes where " +
           std::to_string(needed) + " are needed)";
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::Load(const std::filesystem::path& file, std::string* error) {
    if (std::optional<std::string> cut_short = CutShort(file)) {
        *error = *cut_short;
        return nullptr;
    }
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        *error = dlerror();
        return nullptr;
    }
    void* entry = dlsym(library, "InitializeCustomItem");
    Dl_info info{};
    if (entry == nullptr || dladdr(entry, &info) == 0) {
        *error = file.string() + " exports no InitializeCustomItem";
        dlclose(library);
        return nullptr;
    }
    return std::unique_ptr<PluginModule>(new PluginModule(
        library, reinterpret_cast<PFNCUSTOMINITIALIZEITEM>(entry), static_cast<HINSTANCE>(info.dli_fbase)));
}

void* PluginModule::FindExport(const char* name) const { return dlsym(library_, name); }

PluginModule::~PluginModule() { dlclose(library_); }

}  // namespace qf::emu
