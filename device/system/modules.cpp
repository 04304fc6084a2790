// LoadLibraryW, FreeLibrary and GetProcAddressW over the host's dynamic linker. The linker counts the
// uses of a library itself, so the runtime keeps no table: a module handle is turned back into a linker
// handle through the module's file.
#include <dlfcn.h>
#include <link.h>

#include <string>

#include "system/host_files.h"
#include "windows.h"

namespace {

using qf::device::FailWith;

// A linker handle of an already loaded module, with one more use; null when none holds the address.
void* LinkerHandleOf(HMODULE module) {
    if (module == nullptr) return dlopen(nullptr, RTLD_NOW);
    Dl_info info{};
    if (dladdr(module, &info) == 0 || info.dli_fname == nullptr) return nullptr;
    // The linker names the main program by an empty name.
    if (info.dli_fname[0] == '\0') return dlopen(nullptr, RTLD_NOW);
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
}

HMODULE BaseAddressOf(void* handle) {
    link_map* map = nullptr;
    Dl_info info{};
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || dladdr(map->l_ld, &info) == 0)
        return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

}  // namespace

QF_EXTERN_C HMODULE WINAPI LoadLibraryW(LPCWSTR file) {
    if (file == nullptr) {
        FailWith(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::u16string path(file);
    if (path.find(u'\\') == std::u16string::npos) path = u"\\Windows\\" + path;
    auto host = qf::device::MapPathForCall(path.c_str());
    std::error_code error;
    if (!host || !std::filesystem::is_regular_file(*host, error)) {
        FailWith(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void* handle = dlopen(host->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        FailWith(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    HMODULE module = BaseAddressOf(handle);
    if (module == nullptr) {
        dlclose(handle);
        FailWith(ERROR_BAD_EXE_FORMAT);
    }
    return module;
}

QF_EXTERN_C BOOL WINAPI FreeLibrary(HMODULE module) {
    void* handle = module != nullptr ? LinkerHandleOf(module) : nullptr;
    if (handle == nullptr) return FailWith(ERROR_MOD_NOT_FOUND);
    // Once for the use just taken, once for the use being ended.
    dlclose(handle);
    dlclose(handle);
    return TRUE;
}

QF_EXTERN_C FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR name) {
    if (name == nullptr || IS_INTRESOURCE(name)) {
        FailWith(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* handle = LinkerHandleOf(module);
    if (handle == nullptr) {
        FailWith(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void* symbol = dlsym(handle, qf::WideToUtf8(name).c_str());
    dlclose(handle);
    if (symbol == nullptr) FailWith(ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<FARPROC>(symbol);
}
