#include "commands/settings_walk.h"

#include <algorithm>
#include <array>

#include "common/settings_store.h"

namespace qf::cli {
namespace {

// A key opened for reading, closed when the object goes.
class ReadKey {
  public:
    explicit ReadKey(const std::u16string& path, HKEY root = AppSettings().root()) {
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
        }
    }
    ~ReadKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

std::u16string BasePath() {
    std::u16string probe = AppSettings().SectionPath(u"x");
    return probe.substr(0, probe.size() - 2);
}

std::vector<std::u16string> SubkeyNames(HKEY key) {
    std::vector<std::u16string> names;
    std::array<WCHAR, 256> name{};
    for (DWORD index = 0;; ++index) {
        DWORD size = name.size();
        if (RegEnumKeyExW(key, index, name.data(), &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), size);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::u16string> ValueNames(HKEY key) {
    std::vector<std::u16string> names;
    std::array<WCHAR, 256> name{};
    for (DWORD index = 0;; ++index) {
        DWORD size = name.size();
        if (RegEnumValueW(key, index, name.data(), &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), size);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void CollectSection(const std::u16string& section, std::vector<SettingValue>& out) {
    ReadKey key(section.empty() ? BasePath() : AppSettings().SectionPath(section));
    if (key.get() == nullptr) return;
    if (!section.empty()) {
        for (const std::u16string& value_name : ValueNames(key.get())) {
            if (auto setting = ReadSetting(section, value_name)) out.push_back(*setting);
        }
    }
    for (const std::u16string& child : SubkeyNames(key.get())) {
        CollectSection(section.empty() ? child : section + u"\\" + child, out);
    }
}

}  // namespace

std::optional<DWORD> StoredType(const SettingsStore& store, const std::u16string& section,
                                const std::u16string& key) {
    ReadKey reg_key(store.SectionPath(section), store.root());
    if (reg_key.get() == nullptr) return std::nullopt;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(reg_key.get(), key.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return type;
}

std::optional<SettingValue> ReadSetting(const std::u16string& section, const std::u16string& key) {
    std::optional<DWORD> type = StoredType(AppSettings(), section, key);
    if (!type) return std::nullopt;
    SettingValue setting;
    setting.section = section;
    setting.key = key;
    setting.type = *type;
    if (*type == REG_DWORD) {
        setting.number = AppSettings().ReadDword(section, key, 0);
    } else {
        setting.type = REG_SZ;
        setting.text = AppSettings().ReadString(section, key, u"");
    }
    return setting;
}

std::vector<SettingValue> ListSettings(const std::u16string& section) {
    std::vector<SettingValue> settings;
    CollectSection(section, settings);
    return settings;
}

}  // namespace qf::cli
