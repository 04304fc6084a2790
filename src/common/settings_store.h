// Registry-backed settings by (section, key). Every operation opens the key, does one access and closes
// it again, so instances hold no registry handle between calls and may be used from any thread (one
// instance from one thread at a time). Failures are silent: a read answers the caller's default, a
// failed write is dropped.
#pragma once

#include <windows.h>

#include <string>

#include "common/settings.h"

namespace qf {

class SettingsStore {
  public:
    // A closed store below HKEY_LOCAL_MACHINE: every read answers its default until Open or OpenKey.
    SettingsStore() = default;
    ~SettingsStore() { Close(); }

    // Binds to HKEY_LOCAL_MACHINE\SOFTWARE\<company>\<product>\<section> and opens the store.
    void Open(const std::u16string& company, const std::u16string& product);
    // Binds to the item's own key (kItemSettingsKey) and opens the store.
    void OpenItemSettings();
    // Binds to <root>\<key_path>\<section> and opens the store.
    void OpenKey(const std::u16string& key_path, HKEY root);
    void Close() { open_ = false; }
    bool IsOpen() const { return open_; }

    // The stored text, or `default_value` when the store is closed, the key or value cannot be read, or
    // the stored text is longer than the 255 characters a read takes. Never creates a key.
    std::u16string ReadString(const std::u16string& section, const std::u16string& key,
                              const std::u16string& default_value) const;
    // The stored 32-bit number as signed (all bits set reads -1), or `default_value` as above.
    LONG ReadDword(const std::u16string& section, const std::u16string& key, LONG default_value) const;
    // Store REG_SZ / REG_DWORD values, creating the missing part of the key path; nothing when closed.
    // Texts are cut to 511 characters.
    void WriteString(const std::u16string& section, const std::u16string& key, const std::u16string& value);
    void WriteDword(const std::u16string& section, const std::u16string& key, LONG value);

    // The named settings of settings.h: the stored value, or the setting's default as the reads above.
    // A flag reads true when the stored number is not 0 and is written as 1 or 0.
    LONG Read(const NumberSetting& setting) const;
    bool Read(const FlagSetting& setting) const;
    std::u16string Read(const TextSetting& setting) const;
    void Write(const NumberSetting& setting, LONG value);
    void Write(const FlagSetting& setting, bool value);
    void Write(const TextSetting& setting, const std::u16string& value);

    // The full key path of `section` below the root this store uses.
    std::u16string SectionPath(const std::u16string& section) const;
    HKEY root() const { return root_; }

  private:
    bool open_ = false;
    std::u16string company_;
    std::u16string product_;
    std::u16string key_path_;
    HKEY root_ = HKEY_LOCAL_MACHINE;
};

// The process-wide store of the item, opened on its own key. Any thread.
SettingsStore& AppSettings();

// Today/HWND in AppSettings: the live item window, which other processes (the main application, the
// command line) ask to release the database. Writing null records that no item window exists. Any thread.
void PublishItemWindow(HWND window);
// The recorded item window, or null.
HWND PublishedItemWindow();

// Settings/InstallPath, or `fallback` when it is missing or empty (the library passes its own module's
// folder, the command line the folder it installs to).
std::u16string InstallFolder(const SettingsStore& settings, const std::u16string& fallback);
// Audio/Folder, or `install_folder` + "\rssAudio" when it is missing or empty.
std::u16string AudioFolder(const SettingsStore& settings, const std::u16string& install_folder);

}  // namespace qf
