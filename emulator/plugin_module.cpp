#include "plugin_module.h"

#include <dlfcn.h>

namespace qf::emu {

std::unique_ptr<PluginModule> PluginModule::Load(const std::filesystem::path& file, std::string* error) {
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
