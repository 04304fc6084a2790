#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "system/host_files.h"
#include "win/files.h"

using namespace qf::device;

namespace {

int OpenFlagsFor(UINT flags) {
    // The path was resolved below the root, so a link in its last part now is one put there since.
    int open_flags = O_CLOEXEC | O_NOFOLLOW;
    switch (flags & 0x3) {
        case CFile::modeWrite:
            open_flags |= O_WRONLY;
            break;
        case CFile::modeReadWrite:
            open_flags |= O_RDWR;
            break;
        default:
            open_flags |= O_RDONLY;
            break;
    }
    if ((flags & CFile::modeCreate) != 0) {
        open_flags |= O_CREAT;
        if ((flags & CFile::modeNoTruncate) == 0) open_flags |= O_TRUNC;
    }
    return open_flags;
}

}  // namespace

CFile::CFile() = default;

CFile::~CFile() { Close(); }

BOOL CFile::Open(LPCWSTR path, UINT flags) {
    Close();
    auto host = MapPathForCall(path);
    if (!host) return FALSE;
    int fd;
    do {
        fd = ::open(host->c_str(), OpenFlagsFor(flags), 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return FailWithErrno(errno, *host);
    // The host lets a folder be opened for reading; the device does not.
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return FailWith(ERROR_ACCESS_DENIED);
    }
    fd_ = fd;
    return TRUE;
}

void CFile::Close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

bool CFile::IsOpen() const { return fd_ >= 0; }

ULONGLONG CFile::GetLength() const {
    struct stat info;
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) return 0;
    return static_cast<ULONGLONG>(info.st_size);
}

LONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    if (fd_ < 0) return -1;
    int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    off_t position = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return position < 0 ? -1 : static_cast<LONGLONG>(position);
}

void CFile::SeekToBegin() { Seek(0, begin); }

ULONGLONG CFile::SeekToEnd() {
    LONGLONG position = Seek(0, end);
    return position < 0 ? 0 : static_cast<ULONGLONG>(position);
}

UINT CFile::Read(void* buffer, UINT count) {
    if (fd_ < 0) return 0;
    auto* bytes = static_cast<char*>(buffer);
    UINT total = 0;
    while (total < count) {
        ssize_t n = ::read(fd_, bytes + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<UINT>(n);
    }
    return total;
}

BOOL CFile::Write(const void* buffer, UINT count) {
    if (fd_ < 0) return FailWith(ERROR_INVALID_HANDLE);
    const auto* bytes = static_cast<const char*>(buffer);
    UINT total = 0;
    while (total < count) {
        ssize_t n = ::write(fd_, bytes + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            return n < 0 ? FailWith(errno == EBADF ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT)
                         : FailWith(ERROR_DISK_FULL);
        total += static_cast<UINT>(n);
    }
    return TRUE;
}
