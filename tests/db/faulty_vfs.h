// A fault-injecting SQLite file system for tests: it wraps the default VFS and, for files whose name
// contains a marker, fails writes, reads or opens after a number of calls, or ends the process at a chosen
// write or close (to stand for a crash at that moment). Installed as SQLite's default VFS, so the record
// layer uses it without knowing.
#pragma once

#include <string>

namespace qf::test {

enum class FileFault {
    kNone,
    kFailOpen,     // opening a matching file fails
    kFailWrite,    // writes fail once `after` writes have succeeded
    kFailRead,     // reads fail once `after` reads have succeeded
    kExitOnWrite,  // the process ends (_exit) at write number `after` + 1
    kExitOnClose,  // the process ends when a matching file is closed
};

// Arms one fault for files whose path contains `name_part` (nothing is armed at first). Any thread.
void ArmFileFault(FileFault fault, const std::string& name_part, int after = 0);
void DisarmFileFaults();

// Installs the wrapping VFS as SQLite's default; idempotent.
void InstallFaultyVfs();

// Disarms when the test ends.
class ScopedFileFault {
  public:
    ScopedFileFault(FileFault fault, const std::string& name_part, int after = 0) {
        InstallFaultyVfs();
        ArmFileFault(fault, name_part, after);
    }
    ~ScopedFileFault() { DisarmFileFaults(); }
};

}  // namespace qf::test
