// Checks on device files that the database code makes before it creates, keeps or lists a file.
#pragma once

#include <string>

namespace qf {

// Whether `path` names a file (not a folder) that is not empty (a database or an audio file
// worth keeping). False for an empty path. Any thread.
bool NonEmptyFileAt(const std::u16string& path);

}  // namespace qf
