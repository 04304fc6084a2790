#include "common/settings_store.h"

#include <gtest/gtest.h>

#include "support/temp_device.h"

namespace qf {
namespace {

bool KeyExists(const std::u16string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

SettingsStore OpenedStore() {
    SettingsStore store;
    store.Open(u"Thornbeckvale", u"Quillfeed");
    return store;
}

TEST(SettingsStore, ClosedStoreAnswersDefaultsAndOpenKeyUsesItsOwnRoot) {
    test::TempDevice device;
    SettingsStore closed;
    closed.WriteDword(u"Today", u"VSize", 80);
    closed.WriteString(u"General", u"Browser", u"x.exe");
    EXPECT_EQ(closed.ReadDword(u"Today", u"VSize", 75), 75);
    EXPECT_EQ(closed.ReadString(u"General", u"Browser", u"dflt"), u"dflt");
    EXPECT_FALSE(KeyExists(u"SOFTWARE\\Thornbeckvale"));

    SettingsStore store = OpenedStore();
    EXPECT_EQ(store.ReadDword(u"Warning", u"LowRAM", 1), 1);  // reading a missing section creates no key
    EXPECT_FALSE(KeyExists(u"SOFTWARE\\Thornbeckvale\\Quillfeed\\Warning"));
    store.WriteDword(u"Today", u"VSize", 80);
    store.Close();
    EXPECT_EQ(store.ReadDword(u"Today", u"VSize", 75), 75);

    // OpenKey uses its own root and path.
    SettingsStore skin;
    skin.OpenKey(u"Software\\SBSH", HKEY_CURRENT_USER);
    skin.WriteString(u"PocketBreeze", u"dSelectedSkin", u"Blue");
    EXPECT_EQ(skin.ReadString(u"PocketBreeze", u"dSelectedSkin", u""), u"Blue");
    EXPECT_FALSE(KeyExists(u"Software\\SBSH\\PocketBreeze"));  // not below HKEY_LOCAL_MACHINE
}

TEST(SettingsStore, ValuesSurviveANewStoreNestedSectionsAreKeysAndLimitsHold) {
    test::TempDevice device;
    {
        SettingsStore writer = OpenedStore();
        writer.WriteString(u"RSSMap\\Map3", u"Title", u"headline");
        writer.WriteDword(u"AutoReload", u"NextReload", -1);
        writer.WriteString(u"General", u"Browser", u"\\Windows\\b\u00e9.exe");
    }
    SettingsStore reader = OpenedStore();
    EXPECT_TRUE(KeyExists(u"SOFTWARE\\Thornbeckvale\\Quillfeed\\RSSMap\\Map3"));
    EXPECT_EQ(std::tuple(reader.ReadString(u"rssmap\\map3", u"title", u""),
                         reader.ReadDword(u"AutoReload", u"NextReload", 0),
                         reader.ReadString(u"General", u"Browser", u"")),
              std::tuple(u"headline", -1, u"\\Windows\\b\u00e9.exe"));

    // A DWORD with all bits set reads as -1 (above); a text past the 255-character read buffer cannot be
    // read: the default.
    std::u16string fits(255, u'a');
    reader.WriteString(u"General", u"Fits", fits);
    EXPECT_EQ(reader.ReadString(u"General", u"Fits", u"d"), fits);
    reader.WriteString(u"General", u"Long", std::u16string(300, u'b'));
    EXPECT_EQ(reader.ReadString(u"General", u"Long", u"d"), u"d");
}

}  // namespace
}  // namespace qf
