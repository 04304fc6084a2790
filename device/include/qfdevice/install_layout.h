// Where the files that come with the programs lie on the host. They are found from the running program's
// own location, so the same binaries work in the build tree (<build>/cli/quillfeed) and installed
// (<prefix>/bin/quillfeed): <prefix> is the folder above the program's folder either way.
#pragma once

#include <filesystem>

namespace qf::device {

// Any thread. The plug-in library: <prefix>/lib/quillfeed/libquillfeedtoday.so, else (build tree)
// <build>/src/libquillfeedtoday.so; canonical; empty when neither exists.
std::filesystem::path PluginLibrary();

// Any thread. The shared files (skins, sample feeds): <prefix>/share/quillfeed, which in the build tree
// is a link to the sources' resources/ folder; canonical; empty when missing.
std::filesystem::path ResourceFolder();

}  // namespace qf::device
