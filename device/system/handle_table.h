// The process-wide table of HANDLEs: each handle keeps its object alive until CloseHandle.
#pragma once

#include <memory>

#include "system/kernel_object.h"

namespace qf::device {

// Any thread. A new handle for `object` (never null or INVALID_HANDLE_VALUE).
HANDLE AddHandle(std::shared_ptr<KernelObject> object);
// Any thread. The object of `handle`, or null for an unknown handle.
std::shared_ptr<KernelObject> FindHandle(HANDLE handle);
// Any thread. The object of `handle` when it is of kind T.
template <typename T>
std::shared_ptr<T> FindHandleOf(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(FindHandle(handle));
}

}  // namespace qf::device
