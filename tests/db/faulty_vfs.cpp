#include "faulty_vfs.h"

#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
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
int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    return Wrap(file)->real()->pMethods->xTruncate(Wrap(file)->real(), size);
}
int Sync(sqlite3_file* file, int flags) {
    return Wrap(file)->real()->pMethods->xSync(Wrap(file)->real(), flags);
}
int FileSize(sqlite3_file* file, sqlite3_int64* size) {
    return Wrap(file)->real()->pMethods->xFileSize(Wrap(file)->real(), size);
}
int Lock(sqlite3_file* file, int level) {
    return Wrap(file)->real()->pMethods->xLock(Wrap(file)->real(), level);
}
int Unlock(sqlite3_file* file, int level) {
    return Wrap(file)->real()->pMethods->xUnlock(Wrap(file)->real(), level);
}
int CheckReservedLock(sqlite3_file* file, int* out) {
    return Wrap(file)->real()->pMethods->xCheckReservedLock(Wrap(file)->real(), out);
}
int FileControl(sqlite3_file* file, int op, void* arg) {
    return Wrap(file)->real()->pMethods->xFileControl(Wrap(file)->real(), op, arg);
}
int SectorSize(sqlite3_file* file) { return Wrap(file)->real()->pMethods->xSectorSize(Wrap(file)->real()); }
int DeviceCharacteristics(sqlite3_file* file) {
    return Wrap(file)->real()->pMethods->xDeviceCharacteristics(Wrap(file)->real());
}
int ShmMap(sqlite3_file* file, int page, int size, int extend, void volatile** out) {
    return Wrap(file)->real()->pMethods->xShmMap(Wrap(file)->real(), page, size, extend, out);
}
int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return Wrap(file)->real()->pMethods->xShmLock(Wrap(file)->real(), offset, n, flags);
}
void ShmBarrier(sqlite3_file* file) { Wrap(file)->real()->pMethods->xShmBarrier(Wrap(file)->real()); }
int ShmUnmap(sqlite3_file* file, int delete_flag) {
    return Wrap(file)->real()->pMethods->xShmUnmap(Wrap(file)->real(), delete_flag);
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
        faulty_methods = sqlite3_io_methods{2,
                                            Close,
                                            Read,
                                            Write,
                                            Truncate,
                                            Sync,
                                            FileSize,
                                            Lock,
                                            Unlock,
                                            CheckReservedLock,
                                            FileControl,
                                            SectorSize,
                                            DeviceCharacteristics,
                                            ShmMap,
                                            ShmLock,
                                            ShmBarrier,
                                            ShmUnmap,
                                            nullptr,
                                            nullptr};
        sqlite3_vfs_register(&faulty_vfs, 1);
    });
}

}  // namespace qf::test
