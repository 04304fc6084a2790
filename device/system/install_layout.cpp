#include "qfdevice/install_layout.h"

#include <initializer_list>

namespace qf::device {
namespace {

namespace fs = std::filesystem;

fs::path Prefix() {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self.parent_path().parent_path();
}

fs::path FirstExisting(std::initializer_list<fs::path> candidates) {
    std::error_code error;
    for (const fs::path& candidate : candidates) {
        if (fs::exists(candidate, error)) return fs::canonical(candidate, error);
    }
    return {};
}

}  // namespace

fs::path PluginLibrary() {
    fs::path prefix = Prefix();
    if (prefix.empty()) return {};
    return FirstExisting(
        {prefix / "lib" / "quillfeed" / "libquillfeedtoday.so", prefix / "src" / "libquillfeedtoday.so"});
}

fs::path ResourceFolder() {
    fs::path prefix = Prefix();
    if (prefix.empty()) return {};
    return FirstExisting({prefix / "share" / "quillfeed"});
}

}  // namespace qf::device
