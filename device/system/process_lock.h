// The part of a named mutex that other processes see: an flock() on a file in the device's state
// folder, held while any thread of this process owns the mutex. The kernel drops it when the process
// dies, however it dies, so a killed owner never leaves the mutex taken.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "system/kernel_object.h"

namespace qf::device {

class ProcessLock {
  public:
    // The lock of mutex `name` on the current device; nullopt (last error set) when its folder cannot
    // be made.
    static std::optional<ProcessLock> ForName(std::u16string_view name);

    ProcessLock(ProcessLock&& other) noexcept;
    ProcessLock& operator=(ProcessLock&&) = delete;
    ~ProcessLock();

    // KernelLock held. kAcquired, kBusyElsewhere or kFailed; never blocks.
    AcquireResult TryLock();
    // KernelLock held. Releases a lock taken by TryLock.
    void Unlock();

  private:
    explicit ProcessLock(std::filesystem::path file) : file_(std::move(file)) {}

    std::filesystem::path file_;
    // Open only while locked: a process forked meanwhile must not share the lock through an inherited
    // descriptor.
    int fd_ = -1;
};

}  // namespace qf::device
