#include "db/file_checks.h"

#include <windows.h>

namespace qf {

bool NonEmptyFileAt(const std::u16string& path) {
    CFile file;
    return !path.empty() && file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone) &&
           file.GetLength() != 0;
}

}  // namespace qf
