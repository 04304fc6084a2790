#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "qfdevice/device.h"
#include "support/temp_device.h"
#include "windows.h"

namespace fs = std::filesystem;
using qf::device::DevicePathOf;
using qf::device::MapPath;

namespace {

void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

// Sets or clears an environment variable for one test and restores it afterwards.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(DeviceRoot, ChosenBySetterThenEnvironmentThenDefault) {
    ScopedEnv device("QUILLFEED_DEVICE", "/srv/qf-env-device/");
    ScopedEnv data_home("XDG_DATA_HOME", "/srv/data");
    ScopedEnv home("HOME", "/home/someone");
    qf::device::SetDeviceRoot("/srv/qf-set/./device/");
    EXPECT_EQ(qf::device::DeviceRoot(), "/srv/qf-set/device");
    EXPECT_EQ(qf::device::StateDir(), "/srv/qf-set/device/.qfdevice");

    qf::device::SetDeviceRoot({});
    EXPECT_EQ(qf::device::DeviceRoot(), "/srv/qf-env-device");
    {
        ScopedEnv no_device("QUILLFEED_DEVICE", nullptr);
        EXPECT_EQ(qf::device::DeviceRoot(), "/srv/data/quillfeed/device");
        ScopedEnv relative_data_home("XDG_DATA_HOME", "relative");
        EXPECT_EQ(qf::device::DefaultDeviceRoot(), "/home/someone/.local/share/quillfeed/device");
    }
}

TEST(DevicePaths, ExistingComponentsMatchWithoutRegardToCase) {
    qf::test::TempDevice device;
    Touch(device.HostPath("Program Files/Quillfeed/Skin.BMP"));
    Touch(device.HostPath("Müsik/Ärger.mp3"));

    EXPECT_EQ(MapPath(u"\\"), device.root());
    for (const char16_t* path :
         {u"\\PROGRAM FILES\\quillfeed\\skin.bmp", u"/program files//QUILLFEED/./skin.bmp"})
        EXPECT_EQ(MapPath(path), device.HostPath("Program Files/Quillfeed/Skin.BMP"));
    EXPECT_EQ(MapPath(u"\\MÜSIK\\ärger.MP3"), device.HostPath("Müsik/Ärger.mp3"));
    // Missing components keep the spelling they were given, below a matched folder too.
    EXPECT_EQ(MapPath(u"\\program files\\New Folder\\A.txt"),
              device.HostPath("Program Files/New Folder/A.txt"));

    // Case variants on the host resolve stably.
    Touch(device.HostPath("readme.txt"));
    Touch(device.HostPath("README.TXT"));
    EXPECT_EQ(MapPath(u"\\readme.txt"), device.HostPath("readme.txt"));
    EXPECT_EQ(MapPath(u"\\README.TXT"), device.HostPath("README.TXT"));
    EXPECT_EQ(MapPath(u"\\ReadMe.txt"), device.HostPath("README.TXT"));  // first in byte order
}

TEST(DevicePaths, RefusesPathsThatLeaveTheRootOrReachTheState) {
    qf::test::TempDevice device;
    fs::create_directories(qf::device::StateDir());
    using namespace std::string_view_literals;
    for (std::u16string_view refused :
         {u""sv, u"relative\\file.txt"sv, u"C:\\Windows"sv, u"\\.."sv, u"\\..\\etc\\passwd"sv,
          u"\\a\\..\\..\\b"sv, u"\\.qfdevice"sv, u"\\.QFDevice\\registry.db"sv,
          u"\\x\\..\\.qfdevice\\profile.json"sv, u"\\a\0b"sv})
        EXPECT_EQ(MapPath(refused), std::nullopt) << qf::WideToUtf8(refused);
    EXPECT_EQ(MapPath(u"\\a\\..\\b"), device.HostPath("b"));
    EXPECT_EQ(MapPath(u"\\sub\\.qfdevice"), device.HostPath("sub/.qfdevice"));

    SetLastError(0);
    EXPECT_EQ((std::pair{GetFileAttributesW(u"\\.qfdevice"), GetLastError()}),
              std::pair(INVALID_FILE_ATTRIBUTES, DWORD{ERROR_PATH_NOT_FOUND}));
}

TEST(DevicePaths, NoLinkLeadsOutOfTheRoot) {
    qf::test::TempDevice device;
    fs::path outside = device.root().string() + "-outside";
    Touch(outside / "secret");
    Touch(device.HostPath("Windows/x.txt"));
    fs::create_directories(qf::device::StateDir());
    fs::create_directory_symlink(outside, device.HostPath("out"));
    fs::create_symlink(outside / "secret", device.HostPath("file"));
    fs::create_directory_symlink("../" + outside.filename().string(), device.HostPath("up"));
    fs::create_directory_symlink("Windows", device.HostPath("in"));
    fs::create_directory_symlink(".qfdevice", device.HostPath("state"));

    for (std::u16string_view refused :
         {u"\\out\\secret", u"\\file", u"\\up\\secret", u"\\out\\new.txt", u"\\state\\registry.db"})
        EXPECT_EQ(MapPath(refused), std::nullopt) << qf::WideToUtf8(refused);
    EXPECT_EQ(MapPath(u"\\IN\\X.TXT"), device.HostPath("Windows/x.txt")) << "a link inside is followed";

    CFile file;
    EXPECT_EQ((std::pair{file.Open(u"\\file", CFile::modeCreate | CFile::modeWrite), GetLastError()}),
              std::pair(FALSE, DWORD{ERROR_ACCESS_DENIED}));
    EXPECT_FALSE(file.Open(u"\\out\\secret", CFile::modeRead));
    EXPECT_FALSE(CopyFileW(u"\\Windows\\x.txt", u"\\file", FALSE));
    EXPECT_FALSE(CreateDirectoryW(u"\\out\\made", nullptr));
    // The link itself is an entry of the device: renaming or deleting it leaves its target alone.
    EXPECT_TRUE(MoveFileW(u"\\file", u"\\moved"));
    EXPECT_TRUE(DeleteFileW(u"\\moved"));
    EXPECT_TRUE(fs::exists(outside / "secret"));
    EXPECT_FALSE(fs::exists(outside / "made"));
    std::ifstream secret(outside / "secret");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(secret), {}), "x");
    fs::remove_all(outside);
}

TEST(DevicePaths, DevicePathOfIsTheInverseInsideTheRoot) {
    qf::test::TempDevice device;
    Touch(device.HostPath("Windows/tahoma.ttf"));
    EXPECT_EQ(DevicePathOf(device.HostPath("Windows/tahoma.ttf")), u"\\Windows\\tahoma.ttf");
    EXPECT_EQ(DevicePathOf(device.HostPath("Windows/new/../x")), u"\\Windows\\x");
    EXPECT_EQ(DevicePathOf(device.root()), u"\\");
    EXPECT_EQ(DevicePathOf(device.root() / "Windows" / ""), u"\\Windows");
    EXPECT_EQ(DevicePathOf(device.root().parent_path()), std::nullopt);
    EXPECT_EQ(DevicePathOf(device.root().string() + "-sibling/file"), std::nullopt);
    EXPECT_EQ(DevicePathOf(qf::device::StateDir() / "registry.db"), std::nullopt);
}

}  // namespace
