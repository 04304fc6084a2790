// Finding a module's resource files (the layout is described in win/resources.h).
#pragma once

#include <filesystem>
#include <string_view>
#include <variant>

#include "win/base.h"

namespace qf::device {

// Any thread. The host file of resource `name` (a MAKEINTRESOURCE id or a name) of type folder `type`
// ("Bitmap", "Icon") with `extension` (".bmp"), of the module `instance` (null: the main program). On
// failure the Win32 error: ERROR_RESOURCE_TYPE_NOT_FOUND when the module has no such type folder,
// ERROR_RESOURCE_NAME_NOT_FOUND when the file is missing or the name is not a plain file name.
std::variant<std::filesystem::path, DWORD> ResourceFile(HINSTANCE instance, std::string_view type,
                                                        LPCWSTR name, std::string_view extension);

}  // namespace qf::device
