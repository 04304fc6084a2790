#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "qfdevice/device.h"
#include "system/case_fold.h"
#include "system/host_files.h"
#include "win/strings.h"

namespace fs = std::filesystem;

namespace qf::device {
namespace {

std::mutex root_mutex;
fs::path root_override;  // guarded by root_mutex; empty when none is set

constexpr std::u16string_view kStateDirName = u".qfdevice";

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// An absolute, normal path without a trailing separator, so that paths built below it and paths
// compared with it agree.
fs::path NormalFolder(const fs::path& folder) {
    std::error_code ignored;
    fs::path normal = fs::absolute(folder, ignored).lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
    return normal;
}

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

fs::path HomeFolder() {
    if (std::string home = EnvOrEmpty("HOME"); !home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->pw_dir;
    }
    return fs::current_path();
}

bool IsStateDirName(std::u16string_view name) { return FoldCase(name) == kStateDirName; }

// Splits a device path into its components, resolving "." and "..". nullopt for a relative path, a
// ".." above the root, or a component with a zero character (which no host call could carry).
std::optional<std::vector<std::u16string>> SplitDevicePath(std::u16string_view path) {
    if (path.empty() || !IsSeparator(path.front())) return std::nullopt;
    std::vector<std::u16string> parts;
    size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && IsSeparator(path[i])) ++i;
        size_t start = i;
        while (i < path.size() && !IsSeparator(path[i])) ++i;
        std::u16string_view part = path.substr(start, i - start);
        if (part.empty() || part == u".") continue;
        if (part == u"..") {
            if (parts.empty()) return std::nullopt;
            parts.pop_back();
            continue;
        }
        if (part.find(u'\0') != std::u16string_view::npos) return std::nullopt;
        parts.emplace_back(part);
    }
    return parts;
}

// The entry of `folder` named `name` without regard to case: the exact spelling when it exists, else
// the first match in byte order, so that the choice among several case variants is stable.
std::optional<std::string> FindEntry(const fs::path& folder, std::u16string_view name) {
    std::string exact = qf::WideToUtf8(name);
    std::error_code error;
    if (fs::symlink_status(folder / exact, error).type() != fs::file_type::not_found && !error) return exact;
    std::u16string folded = FoldCase(name);
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string candidate = it->path().filename().string();
        if (FoldCase(qf::Utf8ToWide(candidate)) != folded) continue;
        if (!best || candidate < *best) best = std::move(candidate);
    }
    return best;
}

}  // namespace

void SetDeviceRoot(const fs::path& root) {
    fs::path normal = root.empty() ? fs::path() : NormalFolder(root);
    std::lock_guard lock(root_mutex);
    root_override = std::move(normal);
}

fs::path DeviceRoot() {
    {
        std::lock_guard lock(root_mutex);
        if (!root_override.empty()) return root_override;
    }
    if (std::string from_env = EnvOrEmpty("QUILLFEED_DEVICE"); !from_env.empty())
        return NormalFolder(from_env);
    return DefaultDeviceRoot();
}

fs::path DefaultDeviceRoot() {
    // XDG prescribes ignoring a relative XDG_DATA_HOME.
    fs::path data_home = EnvOrEmpty("XDG_DATA_HOME");
    if (data_home.empty() || data_home.is_relative()) data_home = HomeFolder() / ".local" / "share";
    return NormalFolder(data_home / "quillfeed" / "device");
}

fs::path StateDir() { return DeviceRoot() / fs::path(qf::WideToUtf8(kStateDirName)); }

std::optional<fs::path> MapDevicePath(std::u16string_view device_path, LeafSpelling leaf, LeafLink link) {
    auto parts = SplitDevicePath(device_path);
    if (!parts) return std::nullopt;
    if (!parts->empty() && IsStateDirName(parts->front())) return std::nullopt;
    fs::path host = DeviceRoot();
    // Once a component is missing, nothing below it can exist, so the rest keeps the given spelling.
    bool matching = true;
    for (size_t i = 0; i < parts->size(); ++i) {
        const std::u16string& part = (*parts)[i];
        bool keep_spelling = leaf == LeafSpelling::kAsGiven && i + 1 == parts->size();
        std::optional<std::string> found;
        if (matching && !keep_spelling) found = FindEntry(host, part);
        matching = found.has_value();
        host /= found ? *found : qf::WideToUtf8(part);
    }
    fs::path root = DeviceRoot();
    std::optional<fs::path> resolved = ResolveBeneath(root, host, link);
    // A link inside the root may still point at the runtime's own state.
    if (resolved) {
        fs::path relative = resolved->lexically_relative(root);
        if (!relative.empty() && IsStateDirName(qf::Utf8ToWide(relative.begin()->string())))
            return std::nullopt;
    }
    return resolved;
}

std::optional<fs::path> MapPath(std::u16string_view device_path) {
    return MapDevicePath(device_path, LeafSpelling::kMatchExisting);
}

std::optional<std::u16string> DevicePathOf(const fs::path& host_path) {
    // Both sides resolve symbolic links, so that a root reached through a link still contains its files.
    std::error_code error;
    fs::path root = fs::weakly_canonical(DeviceRoot(), error);
    if (error) root = DeviceRoot();
    fs::path host = fs::weakly_canonical(NormalFolder(host_path), error);
    if (error) host = NormalFolder(host_path);
    fs::path relative = host.lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") return std::nullopt;
    std::u16string device;
    for (const fs::path& part : relative) {
        if (part.empty() || part == ".") continue;
        std::u16string name = qf::Utf8ToWide(part.string());
        if (device.empty() && IsStateDirName(name)) return std::nullopt;
        device += u'\\';
        device += name;
    }
    return device.empty() ? u"\\" : device;
}

bool IsDeviceRoot(const fs::path& host_path) { return NormalFolder(host_path) == DeviceRoot(); }

}  // namespace qf::device
