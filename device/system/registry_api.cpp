#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "qfdevice/device.h"
#include "system/registry_hive.h"
#include "win/registry.h"

namespace fs = std::filesystem;
using namespace qf::device;

namespace {

// An open key: the hive it lives in (so that a handle outlives a change of device root without
// pointing into another device) and its id there.
struct KeyRef {
    fs::path hive;
    KeyId id = 0;
};

std::mutex handles_mutex;
std::unordered_map<std::uintptr_t, KeyRef> open_keys;  // guarded by handles_mutex
std::uintptr_t next_handle = 0x1000;                   // guarded by handles_mutex

fs::path CurrentHive() { return StateDir() / "registry.db"; }

std::optional<KeyId> PredefinedRoot(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) return kClassesRootId;
    if (key == HKEY_CURRENT_USER) return kCurrentUserId;
    if (key == HKEY_LOCAL_MACHINE) return kLocalMachineId;
    return std::nullopt;
}

std::optional<KeyRef> Resolve(HKEY key) {
    if (auto root = PredefinedRoot(key)) return KeyRef{CurrentHive(), *root};
    std::lock_guard lock(handles_mutex);
    auto it = open_keys.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == open_keys.end()) return std::nullopt;
    return it->second;
}

HKEY NewHandle(KeyRef key) {
    std::lock_guard lock(handles_mutex);
    std::uintptr_t handle = next_handle;
    next_handle += 4;
    open_keys.emplace(handle, std::move(key));
    return reinterpret_cast<HKEY>(handle);
}

// The components of a key path; empty ones (doubled or outer backslashes) are skipped.
std::vector<std::u16string_view> SplitKeyPath(LPCWSTR path) {
    std::vector<std::u16string_view> parts;
    if (path == nullptr) return parts;
    std::u16string_view rest(path);
    while (!rest.empty()) {
        size_t end = rest.find(u'\\');
        std::u16string_view part = rest.substr(0, end);
        if (!part.empty()) parts.push_back(part);
        rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
    }
    return parts;
}

std::u16string_view ValueName(LPCWSTR name) { return name != nullptr ? std::u16string_view(name) : u""; }

// Walks `parts` below `start`; nullopt when a component is missing.
std::optional<KeyId> FindPath(HiveSession& hive, KeyId start, const std::vector<std::u16string_view>& parts) {
    std::optional<KeyId> key = start;
    for (std::u16string_view part : parts) {
        key = hive.FindChild(*key, part);
        if (!key) break;
    }
    return key;
}

// Copies `text` with its terminator into a buffer of *size characters and stores the length without
// it; ERROR_MORE_DATA when it does not fit.
LONG CopyName(const std::u16string& text, LPWSTR buffer, LPDWORD size) {
    if (text.size() + 1 > *size) return ERROR_MORE_DATA;
    std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    *size = static_cast<DWORD>(text.size());
    return ERROR_SUCCESS;
}

// Fills the optional type and data outputs of a query or enumeration.
LONG CopyValue(const RegistryValue& value, LPDWORD type, LPBYTE data, LPDWORD data_size) {
    if (type != nullptr) *type = value.type;
    if (data_size == nullptr) return ERROR_SUCCESS;
    auto needed = static_cast<DWORD>(value.data.size());
    if (data != nullptr && *data_size < needed) {
        *data_size = needed;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && needed > 0) std::memcpy(data, value.data.data(), needed);
    *data_size = needed;
    return ERROR_SUCCESS;
}

FILETIME FileTimeOf(std::int64_t ticks) {
    auto bits = static_cast<std::uint64_t>(ticks);
    return FILETIME{static_cast<DWORD>(bits), static_cast<DWORD>(bits >> 32)};
}

// The answer for a key that was not found: the session's failure if it had one.
LONG Missing(const HiveSession& hive) {
    return hive.status() != ERROR_SUCCESS ? hive.status() : ERROR_FILE_NOT_FOUND;
}

// Writes through an open key must not create a hive: the one the key lived in is gone. Only the
// predefined roots may start a fresh one.
HiveSession::Access WriteAccessFor(HKEY key) {
    return PredefinedRoot(key) ? HiveSession::Access::kWriteOrCreate : HiveSession::Access::kWrite;
}

}  // namespace

namespace qf::device {

std::filesystem::path RegistryFilePath() { return CurrentHive(); }

bool IsRegistryFileReadable() { return HiveSession::IsReadable(CurrentHive()); }

}  // namespace qf::device

QF_EXTERN_C LONG WINAPI RegOpenKeyExW(HKEY key, LPCWSTR sub_key, DWORD, REGSAM, PHKEY result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    auto base = Resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    HiveSession hive(base->hive, HiveSession::Access::kRead);
    std::optional<KeyId> found;
    if (hive.KeyExists(base->id)) found = FindPath(hive, base->id, SplitKeyPath(sub_key));
    if (LONG status = hive.Commit(); status != ERROR_SUCCESS) return status;
    if (!found) return ERROR_FILE_NOT_FOUND;
    *result = NewHandle({base->hive, *found});
    return ERROR_SUCCESS;
}

QF_EXTERN_C LONG WINAPI RegCreateKeyExW(HKEY key, LPCWSTR sub_key, DWORD, LPWSTR, DWORD, REGSAM, void*,
                                        PHKEY result, LPDWORD disposition) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    auto base = Resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    HiveSession hive(base->hive, WriteAccessFor(key));
    if (!hive.KeyExists(base->id)) return Missing(hive);
    std::optional<KeyId> current = base->id;
    bool created = false;
    for (std::u16string_view part : SplitKeyPath(sub_key)) {
        std::optional<KeyId> child = hive.FindChild(*current, part);
        created = !child;
        current = child ? child : hive.CreateChild(*current, part);
        if (!current) break;
    }
    // A key that could not be created has failed the session, so the commit reports it.
    if (LONG status = hive.Commit(); status != ERROR_SUCCESS) return status;
    if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = NewHandle({base->hive, *current});
    return ERROR_SUCCESS;
}

QF_EXTERN_C LONG WINAPI RegQueryValueExW(HKEY key, LPCWSTR value_name, LPDWORD, LPDWORD type, LPBYTE data,
                                         LPDWORD data_size) {
    if (data != nullptr && data_size == nullptr) return ERROR_INVALID_PARAMETER;
    auto ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    HiveSession hive(ref->hive, HiveSession::Access::kRead);
    std::optional<RegistryValue> value;
    if (hive.KeyExists(ref->id)) value = hive.GetValue(ref->id, ValueName(value_name));
    if (LONG status = hive.Commit(); status != ERROR_SUCCESS) return status;
    if (!value) return ERROR_FILE_NOT_FOUND;
    return CopyValue(*value, type, data, data_size);
}

QF_EXTERN_C LONG WINAPI RegSetValueExW(HKEY key, LPCWSTR value_name, DWORD, DWORD type, const BYTE* data,
                                       DWORD data_size) {
    if ((data == nullptr && data_size > 0) || (type == REG_DWORD && data_size != sizeof(DWORD))) {
        return ERROR_INVALID_PARAMETER;
    }
    auto ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    HiveSession hive(ref->hive, WriteAccessFor(key));
    if (!hive.KeyExists(ref->id)) return Missing(hive);
    hive.SetValue(ref->id, ValueName(value_name), type, data, data_size);
    return hive.Commit();
}

QF_EXTERN_C LONG WINAPI RegDeleteValueW(HKEY key, LPCWSTR value_name) {
    auto ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    HiveSession hive(ref->hive, HiveSession::Access::kWrite);
    if (!hive.KeyExists(ref->id) || !hive.DeleteValue(ref->id, ValueName(value_name))) return Missing(hive);
    return hive.Commit();
}

QF_EXTERN_C LONG WINAPI RegDeleteKeyW(HKEY key, LPCWSTR sub_key) {
    auto parts = SplitKeyPath(sub_key);
    if (parts.empty()) return ERROR_INVALID_PARAMETER;  // never the key itself, and never a root
    auto base = Resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    HiveSession hive(base->hive, HiveSession::Access::kWrite);
    std::optional<KeyId> target;
    if (hive.KeyExists(base->id)) target = FindPath(hive, base->id, parts);
    if (!target) return Missing(hive);
    hive.DeleteTree(*target);
    return hive.Commit();
}

QF_EXTERN_C LONG WINAPI RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_size, LPDWORD,
                                      LPWSTR class_name, LPDWORD class_size, FILETIME* last_write) {
    if (name == nullptr || name_size == nullptr) return ERROR_INVALID_PARAMETER;
    auto ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    HiveSession hive(ref->hive, HiveSession::Access::kRead);
    bool exists = hive.KeyExists(ref->id);
    std::optional<ChildKey> child;
    if (exists) child = hive.ChildAt(ref->id, index);
    if (LONG status = hive.Commit(); status != ERROR_SUCCESS) return status;
    if (!exists) return ERROR_FILE_NOT_FOUND;
    if (!child) return ERROR_NO_MORE_ITEMS;
    if (LONG status = CopyName(child->name, name, name_size); status != ERROR_SUCCESS) return status;
    // Keys have no class on this device.
    if (class_size != nullptr) {
        if (class_name != nullptr && *class_size > 0) class_name[0] = u'\0';
        *class_size = 0;
    }
    if (last_write != nullptr) *last_write = FileTimeOf(child->last_write_ticks);
    return ERROR_SUCCESS;
}

QF_EXTERN_C LONG WINAPI RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_size, LPDWORD,
                                      LPDWORD type, LPBYTE data, LPDWORD data_size) {
    if (name == nullptr || name_size == nullptr || (data != nullptr && data_size == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    auto ref = Resolve(key);
    if (!ref) return ERROR_INVALID_HANDLE;
    HiveSession hive(ref->hive, HiveSession::Access::kRead);
    bool exists = hive.KeyExists(ref->id);
    std::optional<RegistryValue> value;
    if (exists) value = hive.ValueAt(ref->id, index);
    if (LONG status = hive.Commit(); status != ERROR_SUCCESS) return status;
    if (!exists) return ERROR_FILE_NOT_FOUND;
    if (!value) return ERROR_NO_MORE_ITEMS;
    if (LONG status = CopyName(value->name, name, name_size); status != ERROR_SUCCESS) return status;
    return CopyValue(*value, type, data, data_size);
}

QF_EXTERN_C LONG WINAPI RegCloseKey(HKEY key) {
    if (PredefinedRoot(key)) return ERROR_SUCCESS;
    std::lock_guard lock(handles_mutex);
    return open_keys.erase(reinterpret_cast<std::uintptr_t>(key)) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
