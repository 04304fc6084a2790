#include <cerrno>

#include "system/host_files.h"

namespace fs = std::filesystem;

namespace qf::device {

std::optional<fs::path> MapPathForCall(LPCWSTR device_path, LeafSpelling leaf, LeafLink link) {
    std::optional<fs::path> host;
    if (device_path != nullptr) host = MapDevicePath(device_path, leaf, link);
    if (host) return host;
    // Only a link in the last component can make the followed path fail where the entry itself maps.
    bool through_link = device_path != nullptr && link == LeafLink::kFollow &&
                        MapDevicePath(device_path, leaf, LeafLink::kEntry).has_value();
    SetLastError(through_link ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
    return std::nullopt;
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
