// Where a module's file lies on the host, for the module functions and the module's resources.
#pragma once

#include <filesystem>
#include <optional>

#include "win/types.h"

namespace qf::device {

// Any thread. The host file of a module, named by any address inside it (such as its base address);
// null stands for the main program. nullopt when no loaded module holds the address.
std::optional<std::filesystem::path> ModuleHostFile(HMODULE module);

}  // namespace qf::device
