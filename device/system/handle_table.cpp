#include "system/handle_table.h"

#include <unordered_map>

#include "system/win32_result.h"
#include "win/sync.h"

namespace qf::device {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
    std::uintptr_t next = 0;  // handles are multiples of 4, as on the device
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

}  // namespace

std::mutex& KernelLock() {
    static std::mutex lock;
    return lock;
}

std::condition_variable& KernelStateChanged() {
    static std::condition_variable changed;
    return changed;
}

HANDLE AddHandle(std::shared_ptr<KernelObject> object) {
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    table.next += 4;
    table.objects.emplace(table.next, std::move(object));
    return reinterpret_cast<HANDLE>(table.next);
}

std::shared_ptr<KernelObject> FindHandle(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it != table.objects.end() ? it->second : nullptr;
}

}  // namespace qf::device

QF_EXTERN_C BOOL WINAPI CloseHandle(HANDLE object) {
    using namespace qf::device;
    std::shared_ptr<KernelObject> released;  // destroyed after the table is unlocked
    {
        HandleTable& table = Table();
        std::lock_guard lock(table.mutex);
        auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(object));
        if (it == table.objects.end()) return FailWith(ERROR_INVALID_HANDLE);
        released = std::move(it->second);
        table.objects.erase(it);
    }
    return TRUE;
}
