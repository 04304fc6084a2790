#include "system/beneath.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "window/unique_fd.h"

namespace fs = std::filesystem;

namespace qf::device {
namespace {

using wm::UniqueFd;

// Without openat2: one component at a time, and a link anywhere counts as leading out (EXDEV).
int OpenPathWithoutLinks(int dir, const fs::path& relative) {
    UniqueFd current(::fcntl(dir, F_DUPFD_CLOEXEC, 0));
    for (const fs::path& part : relative) {
        UniqueFd next(::openat(current.get(), part.c_str(), O_PATH | O_CLOEXEC | O_NOFOLLOW));
        if (!next) return -1;
        struct stat info;
        if (::fstat(next.get(), &info) != 0) return -1;
        if (S_ISLNK(info.st_mode)) {
            errno = EXDEV;
            return -1;
        }
        current = std::move(next);
    }
    return ::fcntl(current.get(), F_DUPFD_CLOEXEC, 0);
}

// Opens `relative` below the folder `dir` for its path only, never leaving that folder.
int OpenPathBeneath(int dir, const fs::path& relative) {
    open_how how{};
    how.flags = O_PATH | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    long fd = ::syscall(SYS_openat2, dir, relative.c_str(), &how, sizeof how);
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM)) return static_cast<int>(fd);
    return OpenPathWithoutLinks(dir, relative);
}

std::optional<fs::path> PathOfDescriptor(int fd) {
    std::error_code error;
    fs::path path = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
    if (error) return std::nullopt;
    return path;
}

}  // namespace

std::optional<fs::path> ResolveBeneath(const fs::path& root, const fs::path& host, LeafLink leaf) {
    std::vector<fs::path> parts;
    for (const fs::path& part : host.lexically_relative(root)) {
        if (!part.empty() && part != ".") parts.push_back(part);
    }
    if (parts.empty()) return host;
    UniqueFd root_fd(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::optional<fs::path> real_root = root_fd ? PathOfDescriptor(root_fd.get()) : std::nullopt;
    if (!real_root) return host;  // no root yet: nothing below it exists to resolve
    // The longest part that exists is resolved by the kernel; what does not exist yet holds no link.
    size_t resolved = leaf == LeafLink::kEntry ? parts.size() - 1 : parts.size();
    for (; resolved > 0; --resolved) {
        fs::path prefix;
        for (size_t i = 0; i < resolved; ++i) prefix /= parts[i];
        UniqueFd fd(OpenPathBeneath(root_fd.get(), prefix));
        if (fd) {
            std::optional<fs::path> real = PathOfDescriptor(fd.get());
            if (!real) return host;
            fs::path result = root;
            for (const fs::path& part : real->lexically_relative(*real_root)) {
                if (!part.empty() && part != ".") result /= part;
            }
            for (size_t i = resolved; i < parts.size(); ++i) result /= parts[i];
            return result;
        }
        if (errno == EXDEV || errno == ELOOP) return std::nullopt;
        // Anything but a missing part (no permission, a file used as a folder) is left for the call
        // itself to report.
        if (errno != ENOENT) return host;
    }
    return host;
}

}  // namespace qf::device
