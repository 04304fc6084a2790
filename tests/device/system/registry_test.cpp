#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "qfdevice/device.h"
#include "support/temp_device.h"
#include "support/watchdog.h"
#include "windows.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Owns an HKEY for one test step.
class Key {
  public:
    Key() = default;
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

LONG Create(HKEY root, const char16_t* path, Key& key, DWORD* disposition = nullptr) {
    return RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           key.out(), disposition);
}

LONG Open(HKEY root, const char16_t* path, Key& key) {
    return RegOpenKeyExW(root, path, 0, KEY_READ, key.out());
}

LONG SetString(HKEY key, const char16_t* name, const std::u16string& text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

LONG SetDword(HKEY key, const char16_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

std::optional<DWORD> GetDword(HKEY key, const char16_t* name) {
    DWORD value = 0, type = 0, size = sizeof value;
    LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
}

std::optional<std::u16string> GetString(HKEY key, const char16_t* name) {
    char16_t buffer[256];
    DWORD type = 0, size = sizeof buffer;
    LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::u16string(buffer);
}

std::vector<std::u16string> SubkeyNames(HKEY key) {
    std::vector<std::u16string> names;
    for (DWORD index = 0;; ++index) {
        char16_t name[256];
        DWORD size = 256;
        if (RegEnumKeyExW(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

fs::path HiveFile() { return qf::device::StateDir() / "registry.db"; }

std::u16string RaceValueName(int process, int i) {
    return qf::Utf8ToWide("p" + std::to_string(process) + "_" + std::to_string(i));
}

TEST(Registry, NestedKeysAndTypedValuesSurviveReopening) {
    qf::test::TempDevice device;
    const std::array<BYTE, 5> binary = {0, 1, 0, 0xFF, 7};
    {
        Key today;
        DWORD disposition = 0;
        ASSERT_EQ(
            Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Thornbeckvale\\Quillfeed\\Today", today, &disposition),
            ERROR_SUCCESS);
        EXPECT_EQ(disposition, DWORD{REG_CREATED_NEW_KEY});
        EXPECT_EQ(SetString(today.get(), u"Title", u"Schlagzeilen – heute"), ERROR_SUCCESS);
        EXPECT_EQ(SetDword(today.get(), u"HWND", static_cast<DWORD>(-1)), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(today.get(), u"Blob", 0, REG_BINARY, binary.data(), binary.size()),
                  ERROR_SUCCESS);
        EXPECT_EQ(SetString(today.get(), nullptr, u"default"), ERROR_SUCCESS);
    }
    ASSERT_TRUE(fs::exists(HiveFile()));

    Key today;
    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, u"\\software\\THORNBECKVALE\\quillfeed\\today\\", today),
              ERROR_SUCCESS);
    EXPECT_EQ(
        std::pair(GetString(today.get(), u"TITLE"), GetDword(today.get(), u"hwnd")),
        std::pair(std::optional<std::u16string>(u"Schlagzeilen – heute"), std::optional<DWORD>(0xFFFFFFFFu)));
    EXPECT_EQ(static_cast<LONG>(*GetDword(today.get(), u"HWND")), -1);
    EXPECT_EQ(GetString(today.get(), u""), u"default");

    std::array<BYTE, 8> read{};
    DWORD type = 0, size = read.size();
    ASSERT_EQ(RegQueryValueExW(today.get(), u"Blob", nullptr, &type, read.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::pair(type, std::vector<BYTE>(read.begin(), read.begin() + size)),
              std::pair(DWORD{REG_BINARY}, std::vector<BYTE>(binary.begin(), binary.end())));

    // The hive belongs to the device: another root does not see it.
    qf::test::TempDevice other;
    Key missing;
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software\\Thornbeckvale", missing), ERROR_FILE_NOT_FOUND);
}

// A process keeps its connection to the hive between calls; a hive file replaced meanwhile (a restored
// copy) is read afresh, not through the connection to the file that went.
TEST(Registry, AHiveReplacedBetweenCallsIsReadAfresh) {
    qf::test::TempDevice restored;
    Key key;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, u"Software\\Copy", key), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key.get(), u"v", 1), ERROR_SUCCESS);
    fs::path copy = HiveFile();
    qf::test::TempDevice device;  // the connection moves on, and the first hive is complete
    Key live;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, u"Software\\Copy", live), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(live.get(), u"v", 2), ERROR_SUCCESS);
    for (const char* log : {"-wal", "-shm"}) fs::remove(HiveFile().string() + log);
    fs::rename(copy, HiveFile());
    EXPECT_EQ(GetDword(live.get(), u"v"), 1u);
}

TEST(Registry, ReadsNeverCreateAnythingAndClosedHandlesAreRefused) {
    qf::test::TempDevice device;
    Key key;
    EXPECT_EQ((std::pair{Open(HKEY_CURRENT_USER, u"Software\\Missing", key), key.get()}),
              std::pair(LONG{ERROR_FILE_NOT_FOUND}, HKEY{}));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(HKEY_LOCAL_MACHINE, u"x", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(qf::device::StateDir()));

    Key software;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software", software), ERROR_SUCCESS);
    EXPECT_EQ(Open(software.get(), u"Missing\\Deeper", key), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(SubkeyNames(software.get()).empty());
    Key again;
    EXPECT_EQ(Open(software.get(), nullptr, again), ERROR_SUCCESS);  // reopens the key itself

    // Closed or unknown handles are refused.
    HKEY closed = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &closed,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ((std::pair{RegCloseKey(closed), RegCloseKey(closed)}),
              std::pair(LONG{ERROR_SUCCESS}, LONG{ERROR_INVALID_HANDLE}));
    EXPECT_EQ(SetDword(closed, u"x", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
}

TEST(Registry, NamesMatchWithoutCaseKeepTheirFirstSpellingAndEnumerateInOrder) {
    qf::test::TempDevice device;
    Key first, second;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, u"Software\\MixedCase", first), ERROR_SUCCESS);
    DWORD disposition = 0;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\mixedcase", second, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD{REG_OPENED_EXISTING_KEY});
    Key software;
    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, u"software", software), ERROR_SUCCESS);
    EXPECT_EQ(SubkeyNames(software.get()), std::vector<std::u16string>{u"MixedCase"});

    EXPECT_EQ(SetDword(first.get(), u"Value", 1), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(second.get(), u"VALUE", 2), ERROR_SUCCESS);
    char16_t name[16];
    DWORD name_size = 16, value = 0, value_size = sizeof value;
    ASSERT_EQ(RegEnumValueW(first.get(), 0, name, &name_size, nullptr, nullptr,
                            reinterpret_cast<BYTE*>(&value), &value_size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::pair(std::u16string(name), value), std::pair(std::u16string(u"Value"), DWORD{2}));
    name_size = 16;
    EXPECT_EQ(RegEnumValueW(first.get(), 1, name, &name_size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);

    // Subkeys enumerate in name order, without regard to case.
    Key key;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, u"Software\\Order", key), ERROR_SUCCESS);
    for (const char16_t* name : {u"b", u"C\\x", u"A", u"ä"}) {
        Key child;
        ASSERT_EQ(Create(key.get(), name, child), ERROR_SUCCESS);
    }
    EXPECT_EQ(SubkeyNames(key.get()), (std::vector<std::u16string>{u"A", u"b", u"C", u"ä"}));

    char16_t short_name[2];
    DWORD size = 2;
    FILETIME written{};
    EXPECT_EQ(RegEnumKeyExW(key.get(), 0, short_name, &size, nullptr, nullptr, nullptr, &written),
              ERROR_SUCCESS);
    EXPECT_NE(written.dwHighDateTime, 0u);
    size = 1;
    EXPECT_EQ(RegEnumKeyExW(key.get(), 0, short_name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
}

TEST(Registry, QueriesReportSizesAndShortBuffers) {
    qf::test::TempDevice device;
    Key key;
    ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, u"Software\\Sizes", key), ERROR_SUCCESS);
    ASSERT_EQ(SetString(key.get(), u"Text", u"abcdef"), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), u"Empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExW(key.get(), u"Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::pair(type, size), std::pair(DWORD{REG_SZ}, DWORD{14}));
    BYTE small[4];
    size = sizeof small;
    EXPECT_EQ((std::pair{RegQueryValueExW(key.get(), u"Text", nullptr, nullptr, small, &size), size}),
              std::pair(LONG{ERROR_MORE_DATA}, DWORD{14}));
    EXPECT_EQ(RegQueryValueExW(key.get(), u"Text", nullptr, nullptr, small, nullptr),
              ERROR_INVALID_PARAMETER);
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key.get(), u"Empty", nullptr, &type, small, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::pair(type, size), std::pair(DWORD{REG_BINARY}, DWORD{0}));

    char16_t name[3];
    DWORD name_size = 3;
    EXPECT_EQ(RegEnumValueW(key.get(), 1, name, &name_size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
}

// Each child process writes its own values into one key of a fresh hive, both starting at once.
TEST(Registry, TwoProcessesWritingAtOnceLoseNothing) {
    qf::test::TempDevice device;
    constexpr int kValuesPerProcess = 1000;
    {
        // The parent has the hive open when it forks; the children must not inherit its connection.
        Key race;
        ASSERT_EQ(Create(HKEY_LOCAL_MACHINE, u"Software\\Race", race), ERROR_SUCCESS);
    }
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int process = 0; process < 2; ++process) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            char go;
            ::close(start[1]);
            if (::read(start[0], &go, 1) != 0) ::_exit(100);  // wait until the parent closes the pipe
            HKEY key = nullptr;
            int errors = RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Race", 0, nullptr, 0, KEY_ALL_ACCESS,
                                         nullptr, &key, nullptr) == ERROR_SUCCESS
                             ? 0
                             : 99;
            for (int i = 0; i < kValuesPerProcess && errors == 0; ++i)
                errors += SetDword(key, RaceValueName(process, i).c_str(),
                                   static_cast<DWORD>(process * 100000 + i)) != ERROR_SUCCESS;
            RegCloseKey(key);
            ::_exit(errors);
        }
        children.push_back(pid);
    }
    ::close(start[0]);
    ::close(start[1]);
    {
        qf::test::Watchdog watchdog(120s, "two registry writers");
        for (pid_t pid : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_EQ(std::pair(WIFEXITED(status), WEXITSTATUS(status)), std::pair(true, 0))
                << "errors reported by a writer";
        }
    }
    Key key;
    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software\\Race", key), ERROR_SUCCESS);
    int found = 0;
    for (int process = 0; process < 2; ++process)
        for (int i = 0; i < kValuesPerProcess; ++i)
            found += GetDword(key.get(), RaceValueName(process, i).c_str()) ==
                     static_cast<DWORD>(process * 100000 + i);
    EXPECT_EQ(found, 2 * kValuesPerProcess);
    Key software;
    ASSERT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software", software), ERROR_SUCCESS);
    EXPECT_EQ(SubkeyNames(software.get()), std::vector<std::u16string>{u"Race"});
}

}  // namespace
