#include "win/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

}  // namespace

QF_EXTERN_C DWORD WINAPI GetFileAttributesW(LPCWSTR path) {
    auto host = MapPathForCall(path);
    if (!host) return INVALID_FILE_ATTRIBUTES;
    struct stat info;
    if (::stat(host->c_str(), &info) != 0) {
        FailWithErrno(errno, *host);
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((info.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
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
