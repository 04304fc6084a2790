#include "win/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "system/host_files.h"

namespace fs = std::filesystem;
using namespace qf::device;

namespace {

bool SameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Renames without ever replacing an existing target; the check and the rename are one step where the
// host file system can do that.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    struct stat existing;
    if (::lstat(to.c_str(), &existing) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

// 100-nanosecond steps since 1601-01-01 UTC.
FILETIME FileTimeOf(const struct timespec& time) {
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
    std::uint64_t ticks =
        static_cast<std::uint64_t>(time.tv_sec + kSecondsFrom1601To1970) * 10000000u + time.tv_nsec / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

QF_EXTERN_C DWORD WINAPI GetFileAttributesW(LPCWSTR path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path, GetFileExInfoStandard, &data) ? data.dwFileAttributes
                                                                    : INVALID_FILE_ATTRIBUTES;
}

// stat() only: opening and closing the file would release every POSIX lock this process holds on it.
QF_EXTERN_C BOOL WINAPI GetFileAttributesExW(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID info) {
    if (level != GetFileExInfoStandard || info == nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    auto host = MapPathForCall(path);
    if (!host) return FALSE;
    struct stat status;
    if (::stat(host->c_str(), &status) != 0) return FailWithErrno(errno, *host);
    auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(info);
    data->dwFileAttributes = S_ISDIR(status.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((status.st_mode & S_IWUSR) == 0) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    data->ftCreationTime = FileTimeOf(status.st_ctim);
    data->ftLastAccessTime = FileTimeOf(status.st_atim);
    data->ftLastWriteTime = FileTimeOf(status.st_mtim);
    auto size = static_cast<std::uint64_t>(status.st_size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(size);
    return TRUE;
}

// Deleting, renaming and making folders work on the entry itself (a link is removed or renamed, never
// what it points at); opening, reading and copying go through links, which must stay inside the root.
QF_EXTERN_C BOOL WINAPI DeleteFileW(LPCWSTR path) {
    auto host = MapPathForCall(path, LeafSpelling::kMatchExisting, LeafLink::kEntry);
    if (!host) return FALSE;
    struct stat info;
    if (::lstat(host->c_str(), &info) != 0) return FailWithErrno(errno, *host);
    if (S_ISDIR(info.st_mode)) return FailWith(ERROR_ACCESS_DENIED);
    if (::unlink(host->c_str()) != 0) return FailWithErrno(errno, *host);
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI MoveFileW(LPCWSTR existing, LPCWSTR target) {
    auto from = MapPathForCall(existing, LeafSpelling::kMatchExisting, LeafLink::kEntry);
    auto to = MapPathForCall(target, LeafSpelling::kMatchExisting, LeafLink::kEntry);
    if (!from || !to) return FALSE;
    if (IsDeviceRoot(*from) || IsDeviceRoot(*to)) return FailWith(ERROR_ACCESS_DENIED);
    struct stat from_info, to_info;
    if (::lstat(from->c_str(), &from_info) != 0) return FailWithErrno(errno, *from);
    if (::lstat(to->c_str(), &to_info) == 0) {
        if (!SameEntry(from_info, to_info)) return FailWith(ERROR_ALREADY_EXISTS);
        // The target names the source itself in another case: the device renames it to that spelling.
        to = MapPathForCall(target, LeafSpelling::kAsGiven, LeafLink::kEntry);
        if (!to) return FALSE;
        if (*to == *from) return TRUE;
    }
    if (RenameNoReplace(*from, *to) != 0) return FailWithErrno(errno, *to);
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL fail_if_exists) {
    auto from = MapPathForCall(existing);
    auto to = MapPathForCall(target);
    if (!from || !to) return FALSE;
    struct stat from_info, to_info;
    if (::stat(from->c_str(), &from_info) != 0) return FailWithErrno(errno, *from);
    if (S_ISDIR(from_info.st_mode)) return FailWith(ERROR_ACCESS_DENIED);
    if (::stat(to->c_str(), &to_info) == 0) {
        if (SameEntry(from_info, to_info)) return FailWith(ERROR_SHARING_VIOLATION);
        if (S_ISDIR(to_info.st_mode)) return FailWith(ERROR_ACCESS_DENIED);
        if (fail_if_exists) return FailWith(ERROR_FILE_EXISTS);
    }
    std::error_code error;
    fs::copy_file(*from, *to, fs::copy_options::overwrite_existing, error);
    if (error) return FailWithErrno(error.value(), *to);
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI CreateDirectoryW(LPCWSTR path, void* security) {
    if (security != nullptr) return FailWith(ERROR_INVALID_PARAMETER);
    auto host = MapPathForCall(path, LeafSpelling::kMatchExisting, LeafLink::kEntry);
    if (!host) return FALSE;
    if (::mkdir(host->c_str(), 0777) != 0) return FailWithErrno(errno, *host);
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI RemoveDirectoryW(LPCWSTR path) {
    auto host = MapPathForCall(path, LeafSpelling::kMatchExisting, LeafLink::kEntry);
    if (!host) return FALSE;
    if (IsDeviceRoot(*host)) return FailWith(ERROR_ACCESS_DENIED);
    if (::rmdir(host->c_str()) == 0) return TRUE;
    if (errno == ENOTDIR) return FailWith(ERROR_DIRECTORY);
    // Linux may report a folder that still has entries as EEXIST.
    if (errno == EEXIST) return FailWith(ERROR_DIR_NOT_EMPTY);
    return FailWithErrno(errno, *host);
}
