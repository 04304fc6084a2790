#include "system/process_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "qfdevice/device.h"
#include "system/case_fold.h"
#include "system/host_files.h"
#include "win/strings.h"

namespace fs = std::filesystem;

namespace qf::device {
namespace {

constexpr size_t kMaxFileNameBytes = 200;

// A file name for a mutex name: the folded name with every byte outside [a-z0-9._-] written as %XX.
// Over-long names keep their start and gain a hash of the whole, to stay within the host's limits.
std::string LockFileName(std::u16string_view name) {
    std::string utf8 = qf::WideToUtf8(FoldCase(name));
    std::string file_name;
    for (unsigned char c : utf8) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-') {
            file_name.push_back(static_cast<char>(c));
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            file_name += {'%', kHex[c >> 4], kHex[c & 0xF]};
        }
    }
    if (file_name.size() > kMaxFileNameBytes) {
        std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
        for (unsigned char c : utf8) hash = (hash ^ c) * 1099511628211ull;
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "~%016llx", static_cast<unsigned long long>(hash));
        file_name = file_name.substr(0, kMaxFileNameBytes - 20) + suffix;
    }
    return file_name + ".lock";
}

}  // namespace

std::optional<ProcessLock> ProcessLock::ForName(std::u16string_view name) {
    fs::path folder = StateDir() / "locks";
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        FailWithErrno(error.value(), folder);
        return std::nullopt;
    }
    return ProcessLock(folder / LockFileName(name));
}

ProcessLock::ProcessLock(ProcessLock&& other) noexcept : file_(std::move(other.file_)), fd_(other.fd_) {
    other.fd_ = -1;
}

ProcessLock::~ProcessLock() {
    if (fd_ >= 0) ::close(fd_);
}

AcquireResult ProcessLock::TryLock() {
    int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return AcquireResult::kFailed;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return AcquireResult::kAcquired;
    }
    bool held_elsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return held_elsewhere ? AcquireResult::kBusyElsewhere : AcquireResult::kFailed;
}

void ProcessLock::Unlock() {
    if (fd_ < 0) return;
    ::close(fd_);  // closing the only descriptor of the open file releases the flock
    fd_ = -1;
}

}  // namespace qf::device
