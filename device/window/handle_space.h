// Window handles that are unique across the processes of one device and fit in 31 bits (they are stored
// as REG_DWORD). Each process that creates windows holds a slot of the device, a file under StateDir()
// locked for as long as the process lives, so a dead process frees its slot by itself. A handle is
// slot << 20 | serial, and the slot file keeps the next serial, so a later process in the same slot never
// hands out a handle of an earlier one. The slot also names the process's socket for remote calls.
#pragma once

#include <cstdint>
#include <filesystem>

namespace qf::device::wm {

inline constexpr int kSerialBits = 20;
inline constexpr std::uint32_t kMaxSerial = (1u << kSerialBits) - 1;
inline constexpr std::uint32_t kMaxSlot = (1u << (31 - kSerialBits)) - 1;

// The slot a handle belongs to; 0 for values that no process of the device hands out.
inline std::uint32_t SlotOfHandle(std::uint32_t handle) { return handle >> kSerialBits; }

// Any thread. A fresh non-zero handle value. The first call for a device (and the first after the device
// root changed) takes a slot and starts listening on its socket. When the device's state folder cannot
// hold a slot, handles still come from a process-local serial (slot 0) and reach only this process.
std::uint32_t AllocateHandle();

// Any thread. Where the process holding `slot` of the current device listens.
std::filesystem::path SlotSocketPath(std::uint32_t slot);

}  // namespace qf::device::wm
