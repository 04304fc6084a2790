#include "faulty_vfs.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

namespace qf::test {
namespace {

struct Plan {
    FileFault fault = FileFault::kNone;
    std::string name_part;
    int after = 0;
    int calls = 0;
};

std::mutex plan_mutex;
Plan plan;
sqlite3_vfs* base_vfs = nullptr;
sqlite3_vfs faulty_vfs;
sqlite3_io_methods faulty_methods;

// The wrapped file: our header first, then the base VFS's own file object.
struct FaultyFile {
    sqlite3_file base;  // methods = &faulty_methods
    bool watched;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

bool Matches(const char* name) {
    std::lock_guard lock(plan_mutex);
    return plan.fault != FileFault::kNone && name && std::strstr(name, plan.name_part.c_str()) != nullptr;
}

// True when this call of `kind` on a watched file is to fail (or end the process).
bool Strikes(FileFault kind) {
    std::lock_guard lock(plan_mutex);
    if (plan.fault != kind) return false;
    return ++plan.calls > plan.after;
}

FaultyFile* Wrap(sqlite3_file* file) { return reinterpret_cast<FaultyFile*>(file); }

int Close(sqlite3_file* file) {
    FaultyFile* f = Wrap(file);
    int rc = f->real()->pMethods ? f->real()->pMethods->xClose(f->real()) : SQLITE_OK;
    if (f->watched && Strikes(FileFault::kExitOnClose)) _exit(9);
    return rc;
}
int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    FaultyFile* f = Wrap(file);
    if (f->watched && Strikes(FileFault::kFailRead)) return SQLITE_IOERR_READ;
    return f->real()->pMethods->xRead(f->real(), buffer, amount, offset);
}
int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    FaultyFile* f = Wrap(file);
    if (f->watched && Strikes(FileFault::kFailWrite)) return SQLITE_IOERR_WRITE;
    if (f->watched && Strikes(FileFault::kExitOnWrite)) _exit(9);
    return f->real()->pMethods->xWrite(f->real(), buffer, amount, offset);
}
// The methods without faults hand the call to the base file.
template <auto Method, typename... Args>
auto Forward(sqlite3_file* file, Args... args) {
    sqlite3_file* real = Wrap(file)->real();
    return (real->pMethods->*Method)(real, args...);
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* out_flags) {
    FaultyFile* f = Wrap(file);
    f->base.pMethods = nullptr;
    f->watched = Matches(name);
    if (f->watched && Strikes(FileFault::kFailOpen)) return SQLITE_CANTOPEN;
    int rc = base_vfs->xOpen(base_vfs, name, f->real(), flags, out_flags);
    if (f->real()->pMethods) f->base.pMethods = &faulty_methods;
    return rc;
}

}  // namespace

void ArmFileFault(FileFault fault, const std::string& name_part, int after) {
    std::lock_guard lock(plan_mutex);
    plan = Plan{fault, name_part, after, 0};
}

void DisarmFileFaults() { ArmFileFault(FileFault::kNone, {}); }

void InstallFaultyVfs() {
    static std::once_flag once;
    std::call_once(once, [] {
        sqlite3_initialize();
        base_vfs = sqlite3_vfs_find(nullptr);
        faulty_vfs = *base_vfs;
        faulty_vfs.zName = "qf-faulty";
        faulty_vfs.szOsFile = static_cast<int>(sizeof(FaultyFile)) + base_vfs->szOsFile;
        faulty_vfs.xOpen = Open;
        using M = sqlite3_io_methods;
        faulty_methods = M{2,
                           Close,
                           Read,
                           Write,
                           Forward<&M::xTruncate, sqlite3_int64>,
                           Forward<&M::xSync, int>,
                           Forward<&M::xFileSize, sqlite3_int64*>,
                           Forward<&M::xLock, int>,
                           Forward<&M::xUnlock, int>,
                           Forward<&M::xCheckReservedLock, int*>,
                           Forward<&M::xFileControl, int, void*>,
                           Forward<&M::xSectorSize>,
                           Forward<&M::xDeviceCharacteristics>,
                           Forward<&M::xShmMap, int, int, int, void volatile**>,
                           Forward<&M::xShmLock, int, int, int>,
                           Forward<&M::xShmBarrier>,
                           Forward<&M::xShmUnmap, int>,
                           nullptr,
                           nullptr};
        sqlite3_vfs_register(&faulty_vfs, 1);
    });
}

}  // namespace qf::test
