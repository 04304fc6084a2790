#include "today_items.h"

#include <algorithm>

namespace qf::emu {
namespace {

constexpr char16_t kItemsKey[] = u"Software\\Microsoft\\Today\\Items";
constexpr DWORD kCustomItemType = 4;

// Closes a registry key on every way out.
class Key {
  public:
    Key(HKEY parent, const std::u16string& path) {
        if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY get() const { return key_; }

    DWORD Dword(const char16_t* name, DWORD fallback) const {
        DWORD value = 0;
        DWORD size = sizeof(value);
        DWORD type = 0;
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD) {
            return fallback;
        }
        return value;
    }

    std::u16string String(const char16_t* name) const {
        WCHAR value[MAX_PATH] = {};
        DWORD size = sizeof(value) - sizeof(WCHAR);
        DWORD type = 0;
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ) {
            return {};
        }
        return value;
    }

  private:
    HKEY key_ = nullptr;
};

}  // namespace

std::vector<TodayItemRegistration> ReadTodayItems() {
    std::vector<TodayItemRegistration> items;
    Key all(HKEY_LOCAL_MACHINE, kItemsKey);
    if (all.get() == nullptr) return items;
    for (DWORD index = 0;; ++index) {
        WCHAR name[MAX_PATH] = {};
        DWORD name_size = MAX_PATH;
        if (RegEnumKeyExW(all.get(), index, name, &name_size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        Key item(all.get(), name);
        if (item.get() == nullptr || item.Dword(u"Type", 0) != kCustomItemType) continue;
        TodayItemRegistration registration{name, item.String(u"DLL"), item.Dword(u"Order", 0),
                                           item.Dword(u"Enabled", 0) != 0, item.Dword(u"Options", 0) != 0};
        if (!registration.dll.empty()) items.push_back(std::move(registration));
    }
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
        return a.order != b.order ? a.order < b.order : a.name < b.name;
    });
    return items;
}

}  // namespace qf::emu
