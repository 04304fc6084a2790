// One loaded plug-in library, as the device's shell loads a Today item's DLL.
#pragma once

#include <todaycmn.h>

#include <filesystem>
#include <memory>
#include <string>

namespace qf::emu {

class PluginModule {
  public:
    // Loads the library at the host path `file` and finds its InitializeCustomItem; null with a reason
    // in *error when either fails. Main thread.
    static std::unique_ptr<PluginModule> Load(const std::filesystem::path& file, std::string* error);
    // Unloads the library; its windows must be gone by then.
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    PFNCUSTOMINITIALIZEITEM initialize_item() const { return initialize_item_; }
    // The exported function `name` (a tab host's fn... entries); null when the library has none.
    template <typename Function>
    Function Export(const char* name) const {
        return reinterpret_cast<Function>(FindExport(name));
    }
    // The module handle the device uses for the library: its base address.
    HINSTANCE instance() const { return instance_; }

  private:
    void* FindExport(const char* name) const;
    PluginModule(void* library, PFNCUSTOMINITIALIZEITEM initialize_item, HINSTANCE instance)
        : library_(library), initialize_item_(initialize_item), instance_(instance) {}

    void* library_;
    PFNCUSTOMINITIALIZEITEM initialize_item_;
    HINSTANCE instance_;
};

}  // namespace qf::emu
