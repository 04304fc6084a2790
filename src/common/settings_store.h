// Registry-backed settings by (section, key). Every operation opens the key, does one access and closes
// it again, so instances hold no registry handle between calls and may be used from any thread (one
// instance from one thread at a time). Failures are silent: a read answers the caller's default, a
// failed write is dropped.
#pragma once

#include <windows.h>

#include <string>

namespace qf {

class SettingsStore {
  public:
    // A closed store below HKEY_LOCAL_MACHINE: every read answers its default until Open or OpenKey.
    SettingsStore() = default;
    ~SettingsStore() { Close(); }

    // Binds to HKEY_LOCAL_MACHINE\SOFTWARE\<company>\<product>\<section> and opens the store.
    void Open(const std::u16string& company, const std::u16string& product);
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

// The process-wide store of the item, opened on Thornbeckvale\Quillfeed. Any thread.
SettingsStore& AppSettings();

}  // namespace qf
