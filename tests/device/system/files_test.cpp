#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "qfdevice/device.h"
#include "support/temp_device.h"
#include "windows.h"

namespace fs = std::filesystem;

namespace {

class FilesTest : public testing::Test {
  protected:
    void Write(const std::string& relative, const std::string& content) {
        fs::create_directories(device_.HostPath(relative).parent_path());
        std::ofstream(device_.HostPath(relative), std::ios::binary) << content;
    }
    std::string Read(const std::string& relative) {
        std::ifstream in(device_.HostPath(relative), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }
    // Expects a failed call and the last error it left.
    static void ExpectFailure(BOOL result, DWORD error) {
        EXPECT_FALSE(result);
        EXPECT_EQ(GetLastError(), error);
    }

    qf::test::TempDevice device_;
};

TEST_F(FilesTest, AttributesTellFilesFoldersAndWhatIsMissing) {
    Write("Windows/a.txt", "a");
    EXPECT_EQ(GetFileAttributesW(u"\\windows"), DWORD{FILE_ATTRIBUTE_DIRECTORY});
    EXPECT_EQ(GetFileAttributesW(u"\\WINDOWS\\A.TXT"), DWORD{FILE_ATTRIBUTE_ARCHIVE});
    fs::permissions(device_.HostPath("Windows/a.txt"), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(GetFileAttributesW(u"\\Windows\\a.txt"),
              static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));

    for (auto [path, error] : {std::pair(u"\\Windows\\missing.txt", ERROR_FILE_NOT_FOUND),
                               std::pair(u"\\Missing\\b.txt", ERROR_PATH_NOT_FOUND)})
        EXPECT_EQ((std::pair{GetFileAttributesW(path), GetLastError()}),
                  std::pair(INVALID_FILE_ATTRIBUTES, DWORD(error)));
    EXPECT_EQ(GetFileAttributesW(nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, FoldersAreCreatedOneLevelAndRemovedWhenEmptyDeleteRemovesFilesOnly) {
    EXPECT_TRUE(CreateDirectoryW(u"\\Program Files", nullptr));
    ExpectFailure(CreateDirectoryW(u"\\PROGRAM FILES", nullptr), ERROR_ALREADY_EXISTS);
    ExpectFailure(CreateDirectoryW(u"\\a\\b", nullptr), ERROR_PATH_NOT_FOUND);
    int security = 0;
    ExpectFailure(CreateDirectoryW(u"\\c", &security), ERROR_INVALID_PARAMETER);
    ExpectFailure(CreateDirectoryW(u"\\..\\outside", nullptr), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(fs::exists(device_.root().parent_path() / "outside"));

    Write("Program Files/x.txt", "x");
    ExpectFailure(RemoveDirectoryW(u"\\program files"), ERROR_DIR_NOT_EMPTY);
    ExpectFailure(RemoveDirectoryW(u"\\program files\\x.txt"), ERROR_DIRECTORY);
    ExpectFailure(RemoveDirectoryW(u"\\"), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(DeleteFileW(u"\\Program Files\\X.TXT"));
    EXPECT_TRUE(RemoveDirectoryW(u"\\program files"));
    EXPECT_FALSE(fs::exists(device_.HostPath("Program Files")));

    // Delete removes files only.
    Write("dir/file.txt", "x");
    ExpectFailure(DeleteFileW(u"\\dir"), ERROR_ACCESS_DENIED);
    ExpectFailure(DeleteFileW(u"\\dir\\none.txt"), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(DeleteFileW(u"\\DIR\\FILE.TXT"));
    EXPECT_FALSE(fs::exists(device_.HostPath("dir/file.txt")));
}

TEST_F(FilesTest, MoveNeverReplacesAndCanChangeCase) {
    Write("a.txt", "A");
    Write("b.txt", "B");
    ExpectFailure(MoveFileW(u"\\a.txt", u"\\B.TXT"), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(Read("b.txt"), "B");
    ExpectFailure(MoveFileW(u"\\missing.txt", u"\\c.txt"), ERROR_FILE_NOT_FOUND);

    EXPECT_TRUE(MoveFileW(u"\\A.TXT", u"\\A.Txt"));
    EXPECT_EQ(Read("A.Txt"), "A");
    EXPECT_FALSE(fs::exists(device_.HostPath("a.txt")));

    Write("folder/inner.txt", "I");
    EXPECT_TRUE(MoveFileW(u"\\folder", u"\\moved"));
    EXPECT_EQ(Read("moved/inner.txt"), "I");
    ExpectFailure(MoveFileW(u"\\moved", u"\\..\\escaped"), ERROR_PATH_NOT_FOUND);
}

TEST_F(FilesTest, CFileReadsWritesAndSeeksButRefusesFoldersAndHiddenState) {
    CFile file;
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Read(nullptr, 0), 0u);
    ExpectFailure(file.Open(u"\\missing.txt", CFile::modeRead), ERROR_FILE_NOT_FOUND);

    ASSERT_TRUE(file.Open(u"\\data.bin", CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_TRUE(file.Write("0123456789", 10));
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.Seek(-4, CFile::end), 6);
    char buffer[16] = {};
    EXPECT_EQ((std::pair{file.Read(buffer, sizeof buffer), std::string(buffer)}),
              std::pair(UINT{4}, std::string("6789")));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(file.Seek(-1, CFile::begin), -1);
    file.SeekToBegin();
    EXPECT_EQ(file.Seek(2, CFile::current), 2);
    EXPECT_EQ(file.SeekToEnd(), 10u);
    file.Close();

    ASSERT_TRUE(file.Open(u"\\DATA.BIN", CFile::modeRead));
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_EQ(file.GetLength(), 10u);

    // modeCreate truncates unless modeNoTruncate keeps the contents.
    ASSERT_TRUE(file.Open(u"\\data.bin", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 10u);
    ASSERT_TRUE(file.Open(u"\\data.bin", CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);

    // Folders and the hidden state are refused.
    fs::create_directories(device_.HostPath("dir"));
    fs::create_directories(qf::device::StateDir());
    ExpectFailure(file.Open(u"\\dir", CFile::modeRead), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(file.Open(u"\\.qfdevice\\profile.json", CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(fs::exists(qf::device::StateDir() / "profile.json"));
    EXPECT_FALSE(file.IsOpen());
}

TEST(ModuleFileName, DevicePathInsideTheRootElseBareName) {
    fs::path program = fs::read_symlink("/proc/self/exe");
    // The device library is a module of this process; any address inside it names it.
    auto* device_library = reinterpret_cast<HMODULE>(reinterpret_cast<void*>(&GetModuleFileNameW));
    char16_t buffer[MAX_PATH] = {};

    qf::device::SetDeviceRoot(program.parent_path().parent_path());
    auto name = [&](HMODULE module, DWORD size) {
        DWORD length = GetModuleFileNameW(module, buffer, size);
        return std::pair(length, std::u16string(buffer));
    };
    EXPECT_EQ(name(nullptr, MAX_PATH).second, u"\\tests\\" + qf::Utf8ToWide(program.filename().string()));
    EXPECT_EQ(name(device_library, MAX_PATH),
              std::pair(DWORD{22}, std::u16string(u"\\device\\libqfdevice.so")));
    EXPECT_EQ(name(device_library, 5), std::pair(DWORD{4}, std::u16string(u"\\dev")));

    qf::test::TempDevice elsewhere;
    EXPECT_EQ(name(device_library, MAX_PATH), std::pair(DWORD{0}, std::u16string(u"\\libqfdevice.so")));
}

}  // namespace
