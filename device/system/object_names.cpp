#include "system/object_names.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "system/case_fold.h"

namespace qf::device {
namespace {

using NameMap = std::unordered_map<std::u16string, std::weak_ptr<KernelObject>>;

// Entries of objects that have gone are replaced when their name is used again, and swept out when the
// map has doubled since the last sweep, so that many short-lived names cost no memory for long.
NameMap& Names() {
    static NameMap names;
    return names;
}

size_t sweep_at = 64;  // guarded by NamesMutex()

}  // namespace

std::mutex& NamesMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<KernelObject> FindNamed(std::u16string_view name) {
    auto it = Names().find(FoldCase(name));
    return it != Names().end() ? it->second.lock() : nullptr;
}

void RegisterNamed(std::u16string_view name, const std::shared_ptr<KernelObject>& object) {
    NameMap& names = Names();
    names[FoldCase(name)] = object;
    if (names.size() < sweep_at) return;
    std::erase_if(names, [](const auto& entry) { return entry.second.expired(); });
    sweep_at = std::max<size_t>(64, 2 * names.size());
}

}  // namespace qf::device
