#include "window/handle_space.h"

#include <fcntl.h>
#include <sys/file.h>

#include <charconv>
#include <mutex>
#include <string>
#include <system_error>

#include "qfdevice/device.h"
#include "window/process_link.h"
#include "window/unique_fd.h"

namespace qf::device::wm {
namespace {

constexpr std::size_t kSerialDigits = 10;

class HandleSpace {
  public:
    std::uint32_t Allocate(const std::filesystem::path& state_dir) {
        std::lock_guard lock(mutex_);
        if (!bound_ || state_dir != state_dir_) Bind(state_dir);
        std::uint32_t serial = next_serial_;
        next_serial_ = serial == kMaxSerial ? 1 : serial + 1;
        StoreSerial();
        return (slot_ << kSerialBits) | serial;
    }

  private:
    void Bind(const std::filesystem::path& state_dir) {
        bound_ = true;
        state_dir_ = state_dir;
        slot_file_.Reset();
        slot_ = 0;
        std::error_code error;
        std::filesystem::path slots = state_dir / "window-slots";
        std::filesystem::create_directories(slots, error);
        if (error) return;
        for (std::uint32_t slot = 1; slot <= kMaxSlot; ++slot) {
            std::string path = (slots / std::to_string(slot)).string();
            UniqueFd file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
            if (!file) return;
            // The lock lives as long as the descriptor: it marks the slot taken until this process ends.
            if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) continue;
            slot_file_ = std::move(file);
            slot_ = slot;
            next_serial_ = LoadSerial();
            ListenForRemoteCalls(SlotSocketPath(slot));
            return;
        }
    }

    std::uint32_t LoadSerial() const {
        char text[kSerialDigits] = {};
        ssize_t n = ::pread(slot_file_.get(), text, sizeof text, 0);
        std::uint32_t serial = 0;
        if (n <= 0 || std::from_chars(text, text + n, serial).ec != std::errc() || serial == 0 ||
            serial > kMaxSerial) {
            return 1;
        }
        return serial;
    }

    void StoreSerial() const {
        if (!slot_file_) return;
        std::string text = std::to_string(next_serial_);
        text.insert(0, kSerialDigits - text.size(), '0');
        // A failed write only risks reusing a handle of a process that is long gone: nothing to undo.
        [[maybe_unused]] ssize_t written = ::pwrite(slot_file_.get(), text.data(), text.size(), 0);
    }

    std::mutex mutex_;
    bool bound_ = false;
    std::filesystem::path state_dir_;
    UniqueFd slot_file_;
    std::uint32_t slot_ = 0;
    std::uint32_t next_serial_ = 1;
};

HandleSpace& Space() {
    static HandleSpace* const space = new HandleSpace();
    return *space;
}

}  // namespace

std::uint32_t AllocateHandle() { return Space().Allocate(StateDir()); }

std::filesystem::path SlotSocketPath(std::uint32_t slot) {
    return StateDir() / "sockets" / std::to_string(slot);
}

}  // namespace qf::device::wm
