// The names of events and mutexes within this process. Events and mutexes share one namespace, and
// names are matched without regard to case.
#pragma once

#include <memory>
#include <string_view>

#include "system/kernel_object.h"
#include "system/win32_result.h"

namespace qf::device {

// Serialises lookups and registrations, so that two threads creating one name get one object.
std::mutex& NamesMutex();
// NamesMutex held. The live object called `name`, or null.
std::shared_ptr<KernelObject> FindNamed(std::u16string_view name);
// NamesMutex held. Registers `object` as `name` (it stays registered while it lives).
void RegisterNamed(std::u16string_view name, const std::shared_ptr<KernelObject>& object);

// Any thread. The live object called `name` if there is one, else the one `create()` makes, which is
// then registered. Sets the last error: ERROR_ALREADY_EXISTS when it existed, else ERROR_SUCCESS; null
// (ERROR_INVALID_HANDLE) when the name belongs to an object of another kind, or when `create` failed
// (its last error stays).
template <typename T, typename Create>
std::shared_ptr<T> FindOrCreateNamed(std::u16string_view name, Create create) {
    std::lock_guard lock(NamesMutex());
    if (std::shared_ptr<KernelObject> existing = FindNamed(name)) {
        auto object = std::dynamic_pointer_cast<T>(existing);
        SetLastError(object ? ERROR_ALREADY_EXISTS : ERROR_INVALID_HANDLE);
        return object;
    }
    std::shared_ptr<T> object = create();
    if (object) {
        RegisterNamed(name, object);
        SetLastError(ERROR_SUCCESS);
    }
    return object;
}

}  // namespace qf::device
