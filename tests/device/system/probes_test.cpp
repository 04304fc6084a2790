#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <fstream>

#include "qfdevice/device.h"
#include "support/temp_device.h"
#include "windows.h"

namespace fs = std::filesystem;
using qf::device::CurrentProfile;
using qf::device::NamedProfile;
using qf::device::Profile;

namespace {

void WriteProfileFile(const std::string& json) {
    fs::create_directories(qf::device::StateDir());
    std::ofstream(qf::device::StateDir() / "profile.json") << json;
}

TEST(Profile, SavedFileIsReadBackChangesAreNoticedAndBadEntriesKeepTheirDefaults) {
    qf::test::TempDevice device;
    EXPECT_EQ(CurrentProfile().name, "qvga");  // no file: the defaults

    Profile profile = *NamedProfile("vga");
    profile.oem_info = u"Gerät für Tests", profile.time_zone_bias_minutes = -60;
    profile.lang_id = 0x0407, profile.avail_phys_bytes = 5u << 20;
    ASSERT_TRUE(qf::device::SaveProfile(profile));
    EXPECT_TRUE(fs::exists(qf::device::StateDir() / "profile.json"));
    Profile read = CurrentProfile();
    EXPECT_EQ(
        std::tuple(read.name, read.dpi, read.oem_info, read.time_zone_bias_minutes, read.lang_id,
                   read.avail_phys_bytes),
        std::tuple(profile.name, 192, profile.oem_info, -60, profile.lang_id, profile.avail_phys_bytes));

    profile.screen_width = 640;
    ASSERT_TRUE(qf::device::SaveProfile(profile));
    EXPECT_EQ(CurrentProfile().screen_width, 640);

    // Bad entries keep their defaults; a file that is no JSON gives the defaults.
    WriteProfileFile(R"({"name": "custom", "screen_width": "wide", "dpi": -5, "os_major": 5,
                         "lang_id": 70000, "time_zone_bias_minutes": 100000, "oem_info": 7,
                         "total_phys_bytes": 18446744073709551615})");
    read = CurrentProfile();
    Profile defaults;
    EXPECT_EQ(std::pair(read.name, read.os_major), std::pair(std::string("custom"), DWORD{5}));
    EXPECT_EQ(std::tuple(read.screen_width, read.dpi, read.lang_id, read.time_zone_bias_minutes,
                         read.oem_info, read.total_phys_bytes),
              std::tuple(defaults.screen_width, defaults.dpi, defaults.lang_id,
                         defaults.time_zone_bias_minutes, defaults.oem_info, defaults.total_phys_bytes));

    WriteProfileFile("{ not json");
    EXPECT_EQ(CurrentProfile().name, "qvga");
}

class ProbesTest : public testing::Test {
  protected:
    void SetUp() override {
        Profile profile;
        profile.os_major = 3, profile.os_minor = 0, profile.os_build = 9348, profile.lang_id = 0x0407;
        profile.total_phys_bytes = 64u << 20, profile.avail_phys_bytes = 16u << 20;
        qf::device::OverrideProfile(profile);
    }
    void TearDown() override { qf::device::OverrideProfile(std::nullopt); }

    qf::test::TempDevice device_;
};

TEST_F(ProbesTest, VersionPlatformLocaleAndMemoryComeFromTheProfile) {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version - 1;
    EXPECT_FALSE(GetVersionExW(&version));
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExW(&version));
    EXPECT_EQ(std::tuple(version.dwMajorVersion, version.dwBuildNumber, version.dwPlatformId),
              std::tuple(3u, 9348u, static_cast<DWORD>(VER_PLATFORM_WIN32_CE)));

    char16_t platform[9];
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof platform, platform, 0));
    EXPECT_EQ(lstrcmpW(platform, u"PocketPC"), 0);
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof platform - 1, platform, 0));
    char16_t oem[64];
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETOEMINFO, sizeof oem, oem, 0));
    EXPECT_EQ(std::u16string(oem), u"Quillfeed Emulated Device");
    EXPECT_FALSE(SystemParametersInfoW(0x0030, sizeof oem, oem, 0));

    EXPECT_EQ(std::pair(GetSystemDefaultLangID(), GetSystemDefaultLCID()),
              std::pair(LANGID{0x0407}, LCID{0x0407}));

    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    EXPECT_EQ(std::pair(status.dwAvailPhys, status.dwMemoryLoad), std::pair(DWORD{16u << 20}, DWORD{75}));
}

TEST_F(ProbesTest, DiskSpaceIsThatOfTheHostVolumeUnlessTheProfileClaimsAFullDisk) {
    fs::create_directories(device_.HostPath("Storage Card"));
    ULARGE_INTEGER to_caller{}, total{}, total_free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\storage card", &to_caller, &total, &total_free));
    struct statvfs volume;
    ASSERT_EQ(::statvfs(device_.root().c_str(), &volume), 0);
    EXPECT_EQ(total.QuadPart, std::uint64_t{volume.f_blocks} * volume.f_frsize);
    EXPECT_TRUE(to_caller.QuadPart <= total_free.QuadPart && total_free.QuadPart <= total.QuadPart);
    EXPECT_TRUE(GetDiskFreeSpaceExW(nullptr, nullptr, nullptr, &total_free));

    SetLastError(0);
    EXPECT_FALSE(GetDiskFreeSpaceExW(u"\\Missing Card", &to_caller, &total, &total_free));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(GetDiskFreeSpaceExW(u"\\..", &to_caller, &total, &total_free));

    // A profile may claim a full disk, and keeps saying so in its file.
    Profile profile = CurrentProfile();
    profile.free_disk_bytes = 300u << 10;
    qf::device::OverrideProfile(profile);
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\", &to_caller, &total, &total_free));
    EXPECT_EQ(std::pair(total_free.QuadPart, to_caller.QuadPart),
              std::pair(ULONGLONG{300u << 10}, ULONGLONG{300u << 10}));
    EXPECT_GE(total.QuadPart, total_free.QuadPart);

    ASSERT_TRUE(qf::device::SaveProfile(profile));
    qf::device::OverrideProfile(std::nullopt);
    EXPECT_EQ(CurrentProfile().free_disk_bytes, 300u << 10);
}

}  // namespace

TEST(VirtualMemory, ReservedRangesCommitAndRelease) {
    const size_t reserved = size_t{64} << 20;
    auto* base = static_cast<char*>(VirtualAlloc(nullptr, reserved, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(base, nullptr);
    // A commit inside the reservation is usable and zero; one outside it is refused.
    ASSERT_EQ(VirtualAlloc(base + (4 << 20), 8 << 20, MEM_COMMIT, PAGE_READWRITE), base + (4 << 20));
    EXPECT_EQ(base[(4 << 20) + 123], 0);
    base[(12 << 20) - 1] = 'x';
    EXPECT_EQ(VirtualAlloc(base + reserved - 4096, 8192, MEM_COMMIT, PAGE_READWRITE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // Committing again keeps what the pages hold.
    ASSERT_NE(VirtualAlloc(base + (8 << 20), 4 << 20, MEM_COMMIT, PAGE_READWRITE), nullptr);
    EXPECT_EQ(base[(12 << 20) - 1], 'x');
    EXPECT_FALSE(VirtualFree(base + 4096, 0, MEM_RELEASE));
    EXPECT_TRUE(VirtualFree(base, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(base, 0, MEM_RELEASE));
}
