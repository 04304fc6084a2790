// Resolving host paths below the device root so that no symbolic link leads out of it: a link that stays
// inside is followed, one that leads outside (or loops) makes the path unusable.
#pragma once

#include <filesystem>
#include <optional>

namespace qf::device {

// What happens to a symbolic link in the last component.
enum class LeafLink {
    kFollow,  // opened, read or copied through: it must resolve inside the root like every other part
    kEntry,   // deleted, renamed or created itself: only the folders above it are resolved
};

// Any thread. `host` (a path below `root`) with the symbolic links on its existing part resolved; the
// missing rest is kept as given. nullopt when a link leads outside `root` or loops. Where the kernel
// cannot resolve below a folder (no openat2), every link counts as leading outside.
std::optional<std::filesystem::path> ResolveBeneath(const std::filesystem::path& root,
                                                    const std::filesystem::path& host, LeafLink leaf);

}  // namespace qf::device
