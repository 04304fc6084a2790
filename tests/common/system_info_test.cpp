#include "common/system_info.h"

#include <gtest/gtest.h>

#include <fstream>

#include "qfdevice/device.h"
#include "support/temp_device.h"

namespace qf {
namespace {

class ProfileOverride {
  public:
    explicit ProfileOverride(const device::Profile& profile) { device::OverrideProfile(profile); }
    ~ProfileOverride() { device::OverrideProfile(std::nullopt); }
};

TEST(SystemInfo, PlatformClassFollowsVersionAndPlatformType) {
    struct Case {
        DWORD major;
        std::u16string platform;
        PlatformClass expected;
    };
    const Case cases[] = {
        {5, u"PocketPC", PlatformClass::kCe4OrLater},  {4, u"Smartphone", PlatformClass::kCe4OrLater},
        {3, u"PocketPC", PlatformClass::kPocketPcCe3}, {3, u"Palm-size PC", PlatformClass::kOlderCe},
        {2, u"PocketPC", PlatformClass::kOlderCe},
    };
    for (const Case& c : cases) {
        device::Profile profile;
        profile.os_major = c.major, profile.platform_type = c.platform;
        ProfileOverride scoped(profile);
        EXPECT_EQ(DetectPlatform(), c.expected != PlatformClass::kOlderCe) << c.major;
        EXPECT_EQ(CurrentPlatformClass(), c.expected) << c.major;
    }
}

TEST(SystemInfo, FileSizesFreeSpaceAndFolders) {
    test::TempDevice device;
    std::ofstream(device.HostPath("data.bin"), std::ios::binary) << std::string(1536, 'x');
    EXPECT_EQ((std::vector{FileSizeKb(u"\\data.bin"), FileSizeKb(u"\\missing.bin"), FileSizeKb(u"\\")}),
              (std::vector{1.5, 0.0, 0.0}));
    EXPECT_GT(FreeSpaceKb(u"\\data.bin"), 0);
    EXPECT_GT(FreeSpaceKb(u"\\"), 0);
    EXPECT_DOUBLE_EQ(FreeSpaceKb(u"\\Storage Card\\feeds.cdb"), 0);

    // FolderOf cuts at the last backslash.
    EXPECT_EQ((std::vector{FolderOf(u"\\Program Files\\Quillfeed\\qf.cdb"), FolderOf(u"\\qf.cdb"),
                           FolderOf(u"qf.cdb"), FolderOf(u"\\a\\")}),
              (std::vector<std::u16string>{u"\\Program Files\\Quillfeed", u"", u"", u"\\a"}));
}

}  // namespace
}  // namespace qf
