#include "common/settings_store.h"

#include <array>
#include <cstdint>

namespace qf {
namespace {

// Key paths are copied into a fixed buffer of this many characters before the registry sees them, as
// the device code always did; longer paths are cut.
constexpr size_t kMaxKeyPathChars = 255;
// String reads use a 512-byte buffer: 255 characters and the terminator.
constexpr size_t kReadBufferChars = 256;
// String writes copy the value into a buffer of this many characters.
constexpr size_t kWriteBufferChars = 512;

// One registry key opened for a single access and closed when the object goes.
class ScopedKey {
  public:
    ~ScopedKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

std::u16string Truncated(std::u16string text, size_t max_chars) {
    if (text.size() > max_chars) text.resize(max_chars);
    return text;
}

}  // namespace

void SettingsStore::Open(const std::u16string& company, const std::u16string& product) {
    Close();
    company_ = company;
    product_ = product;
    key_path_.clear();
    open_ = true;
}

void SettingsStore::OpenKey(const std::u16string& key_path, HKEY root) {
    Close();
    key_path_ = key_path;
    root_ = root;
    open_ = true;
}

void SettingsStore::OpenItemSettings() {
    Open(std::u16string(kItemSettingsCompany), std::u16string(kItemSettingsProduct));
}

std::u16string SettingsStore::SectionPath(const std::u16string& section) const {
    std::u16string path = key_path_.empty() ? u"SOFTWARE\\" + company_ + u"\\" + product_ + u"\\" + section
                                            : key_path_ + u"\\" + section;
    return Truncated(std::move(path), kMaxKeyPathChars);
}

std::u16string SettingsStore::ReadString(const std::u16string& section, const std::u16string& key,
                                         const std::u16string& default_value) const {
    if (!open_) return default_value;
    ScopedKey reg_key;
    if (RegOpenKeyExW(root_, SectionPath(section).c_str(), 0, 0, reg_key.out()) != ERROR_SUCCESS) {
        return default_value;
    }
    std::array<WCHAR, kReadBufferChars> buffer{};
    std::u16string fallback = Truncated(default_value, kReadBufferChars - 1);
    std::copy(fallback.begin(), fallback.end(), buffer.begin());
    // A value longer than the buffer does not fit and leaves the default in place, as on the device.
    DWORD size_bytes = sizeof(buffer);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(reg_key.get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size_bytes) != ERROR_SUCCESS) {
        return default_value;
    }
    buffer.back() = 0;
    return std::u16string(buffer.data());
}

LONG SettingsStore::ReadDword(const std::u16string& section, const std::u16string& key,
                              LONG default_value) const {
    if (!open_) return default_value;
    ScopedKey reg_key;
    if (RegOpenKeyExW(root_, SectionPath(section).c_str(), 0, 0, reg_key.out()) != ERROR_SUCCESS) {
        return default_value;
    }
    LONG value = default_value;
    DWORD size_bytes = sizeof(value);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(reg_key.get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size_bytes) != ERROR_SUCCESS) {
        return default_value;
    }
    return value;
}

void SettingsStore::WriteString(const std::u16string& section, const std::u16string& key,
                                const std::u16string& value) {
    if (!open_) return;
    ScopedKey reg_key;
    if (RegCreateKeyExW(root_, SectionPath(section).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        reg_key.out(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    std::u16string stored = Truncated(value, kWriteBufferChars - 1);
    RegSetValueExW(reg_key.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.c_str()),
                   static_cast<DWORD>((stored.size() + 1) * sizeof(WCHAR)));
}

void SettingsStore::WriteDword(const std::u16string& section, const std::u16string& key, LONG value) {
    if (!open_) return;
    ScopedKey reg_key;
    if (RegCreateKeyExW(root_, SectionPath(section).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        reg_key.out(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(reg_key.get(), key.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof(value));
}

LONG SettingsStore::Read(const NumberSetting& setting) const {
    return ReadDword(std::u16string(setting.section), std::u16string(setting.key), setting.default_value);
}

bool SettingsStore::Read(const FlagSetting& setting) const {
    return ReadDword(std::u16string(setting.section), std::u16string(setting.key),
                     setting.default_value ? 1 : 0) != 0;
}

std::u16string SettingsStore::Read(const TextSetting& setting) const {
    return ReadString(std::u16string(setting.section), std::u16string(setting.key),
                      std::u16string(setting.default_value));
}

void SettingsStore::Write(const NumberSetting& setting, LONG value) {
    WriteDword(std::u16string(setting.section), std::u16string(setting.key), value);
}

void SettingsStore::Write(const FlagSetting& setting, bool value) {
    WriteDword(std::u16string(setting.section), std::u16string(setting.key), value ? 1 : 0);
}

void SettingsStore::Write(const TextSetting& setting, const std::u16string& value) {
    WriteString(std::u16string(setting.section), std::u16string(setting.key), value);
}

SettingsStore& AppSettings() {
    static SettingsStore store = [] {
        SettingsStore opened;
        opened.OpenItemSettings();
        return opened;
    }();
    return store;
}

// The handle is stored as a 32-bit number, as the device's handles fit in one.
void PublishItemWindow(HWND window) {
    AppSettings().Write(setting::kItemWindow, static_cast<LONG>(reinterpret_cast<std::uintptr_t>(window)));
}

HWND PublishedItemWindow() {
    LONG handle = AppSettings().Read(setting::kItemWindow);
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(static_cast<DWORD>(handle)));
}

std::u16string InstallFolder(const SettingsStore& settings, const std::u16string& fallback) {
    std::u16string folder = settings.Read(setting::kInstallPath);
    return folder.empty() ? fallback : folder;
}

std::u16string AudioFolder(const SettingsStore& settings, const std::u16string& install_folder) {
    std::u16string folder = settings.Read(setting::kAudioFolder);
    return folder.empty() ? install_folder + u"\\rssAudio" : folder;
}

}  // namespace qf
