// Finding and listing the item's settings. Values are read through the item's SettingsStore; only the
// stored type and the enumeration of keys come from the registry directly, since the store offers
// neither.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/settings_store.h"
#include "windows.h"

namespace qf::cli {

struct SettingValue {
    std::u16string section;  // e.g. u"RSSMap\\Map3"
    std::u16string key;
    DWORD type = REG_NONE;  // REG_DWORD or REG_SZ
    LONG number = 0;        // REG_DWORD
    std::u16string text;    // REG_SZ
};

// The registry type of a value below `store`'s section, or nullopt when the section or value does not
// exist. Creates nothing.
std::optional<DWORD> StoredType(const SettingsStore& store, const std::u16string& section,
                                const std::u16string& key);
// The setting, or nullopt when the section or value does not exist. Creates nothing.
std::optional<SettingValue> ReadSetting(const std::u16string& section, const std::u16string& key);
// Every setting of `section` and its subsections (all sections when empty), sections and keys sorted.
std::vector<SettingValue> ListSettings(const std::u16string& section);

}  // namespace qf::cli
