// The registry hive: one SQLite file in the device's state folder holding keys and typed values. A
// HiveSession runs one transaction on it, so that the processes of a device (the emulator, the command
// line) share the hive and nobody ever sees half of a change. A process keeps one connection to the
// hive open between sessions (opening the file costs far more than a registry call); sessions of its
// threads take turns on it.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win/types.h"

namespace qf::device {

using KeyId = std::int64_t;

// The predefined root keys always exist, even in a hive that has not been written yet.
constexpr KeyId kClassesRootId = 1;
constexpr KeyId kCurrentUserId = 2;
constexpr KeyId kLocalMachineId = 3;

struct RegistryValue {
    std::u16string name;  // as first written
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct ChildKey {
    std::u16string name;                // as first created
    std::int64_t last_write_ticks = 0;  // FILETIME of the last change to the key or its values
};

// One transaction on the hive. One thread; short-lived (open it for one registry call): other sessions of
// the process wait until it ends, so a thread must not open a second one while it holds one.
class HiveSession {
  public:
    enum class Access {
        kRead,          // a missing hive reads as empty and is not created
        kWrite,         // a missing hive is an error (a key handle's hive must exist)
        kWriteOrCreate  // a missing hive, with its folder, is created
    };

    // Takes the process's connection to `file` (opening it when needed) and begins a transaction;
    // writers wait (up to a time-out) for other writers.
    HiveSession(const std::filesystem::path& file, Access access);
    // Rolls back unless Commit() succeeded and hands the connection back (closing it after a failure).
    ~HiveSession();
    HiveSession(const HiveSession&) = delete;
    HiveSession& operator=(const HiveSession&) = delete;

    // ERROR_SUCCESS, or why the session could not start or a step failed (ERROR_CANTOPEN,
    // ERROR_CANTREAD, ERROR_CANTWRITE, ERROR_FILE_NOT_FOUND for a missing hive with kWrite). Once it
    // is set, the other calls do nothing and answer empty.
    LONG status() const { return status_; }

    bool KeyExists(KeyId key);
    std::optional<KeyId> FindChild(KeyId parent, std::u16string_view name);
    // Creates `name` below `parent` (which must exist and must not have it yet).
    std::optional<KeyId> CreateChild(KeyId parent, std::u16string_view name);
    // Deletes `key` with everything below it.
    void DeleteTree(KeyId key);
    // The `index`th subkey in name order, nullopt past the last.
    std::optional<ChildKey> ChildAt(KeyId parent, DWORD index);

    std::optional<RegistryValue> GetValue(KeyId key, std::u16string_view name);
    // The `index`th value in name order, nullopt past the last.
    std::optional<RegistryValue> ValueAt(KeyId key, DWORD index);
    void SetValue(KeyId key, std::u16string_view name, DWORD type, const BYTE* data, DWORD size);
    // False when the value did not exist.
    bool DeleteValue(KeyId key, std::u16string_view name);

    // Makes the transaction's changes permanent; answers status().
    LONG Commit();

    // Any thread. How many write sessions of this process have committed so far.
    static std::uint64_t CommittedWrites();

    // Whether `file` is a hive that every call can read: false for a file that is not a database, one
    // that fails the engine's integrity check, or one of another schema. A missing file is readable.
    static bool IsReadable(const std::filesystem::path& file);

  private:
    class Statement;

    bool Open(const std::filesystem::path& file, Access access);
    void StartRead();
    void EnsureSchema();
    std::int64_t UserVersion();
    bool Exec(const char* sql);
    void Fail(LONG status);
    void TouchKey(KeyId key);

    std::unique_lock<std::mutex> turn_;  // this session's turn on the process's connection
    sqlite3* db_ = nullptr;              // the process's connection; null for an empty (missing) hive read
    LONG status_ = 0;
    LONG failure_status_ = 0;  // what a failed step reports: ERROR_CANTREAD or ERROR_CANTWRITE
    bool in_transaction_ = false;
    bool writes_ = false;
};

}  // namespace qf::device
