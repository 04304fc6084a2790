#include "db/file_checks.h"

#include <windows.h>

namespace qf {

bool NonEmptyFileAt(const std::u16string& path) {
    // Read without opening the file: closing a descriptor of the live database would drop the locks
    // that this process's connection holds on it.
    WIN32_FILE_ATTRIBUTE_DATA data;
    return !path.empty() && GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
           (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
}

}  // namespace qf
