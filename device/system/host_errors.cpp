#include <cerrno>

#include "system/host_files.h"

namespace fs = std::filesystem;

namespace qf::device {

std::optional<fs::path> MapPathForCall(LPCWSTR device_path, LeafSpelling leaf) {
    std::optional<fs::path> host;
    if (device_path != nullptr) host = MapDevicePath(device_path, leaf);
    if (!host) SetLastError(ERROR_PATH_NOT_FOUND);
    return host;
}

DWORD Win32ErrorFromErrno(int error_number, const fs::path& host_path) {
    switch (error_number) {
        case ENOENT: {
            std::error_code ignored;
            return fs::is_directory(host_path.parent_path(), ignored) ? ERROR_FILE_NOT_FOUND
                                                                      : ERROR_PATH_NOT_FOUND;
        }
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return ERROR_PATH_NOT_FOUND;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case EIO:
            return ERROR_WRITE_FAULT;
        default:  // EACCES, EPERM, EISDIR, EROFS, EBUSY, ...
            return ERROR_ACCESS_DENIED;
    }
}

BOOL FailWithErrno(int error_number, const fs::path& host_path) {
    return FailWith(Win32ErrorFromErrno(error_number, host_path));
}

}  // namespace qf::device
