// Runs the real `quillfeed` on a throw-away device root.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/device_test.h"

namespace qf {
namespace {

class CliSettings : public test::DeviceTest {
  protected:
    test::ProgramResult Init() { return Quillfeed({"init"}); }
};

TEST_F(CliSettings, InitLaysOutTheDeviceOnceAndKeepsWhatIsThere) {
    test::ProgramResult first = Init();
    ASSERT_EQ(first.exit_code, 0) << first.err;
    EXPECT_TRUE(std::filesystem::is_directory(device_.HostPath("Program Files/Quillfeed")));
    EXPECT_TRUE(std::filesystem::exists(device_.HostPath("Windows/iexplore.exe")));
    for (const char* art :
         {"images/today/menuButton.bmp", "images/today/skin/back.bmp_high",
          "images/pb/qf_webLinkMSK_high.bmp", "images/skins/dark/today/up.bmp",
          "QuillfeedToday.resources/Bitmap/174.bmp", "QuillfeedToday.resources/Icon/132.ico"}) {
        EXPECT_TRUE(std::filesystem::exists(device_.HostPath(std::string("Program Files/Quillfeed/") + art)))
            << art;
    }

    ASSERT_EQ(Quillfeed({"settings", "set", "Settings", "InstallPath", "\\Elsewhere", "--string"}).exit_code,
              0);
    test::ProgramResult again = Quillfeed({"--json", "init", "--profile", "vga"});
    ASSERT_EQ(again.exit_code, 0) << again.err;
    nlohmann::json report = nlohmann::json::parse(again.out);
    EXPECT_TRUE(report["created"].empty());
    EXPECT_EQ(report["profile"], "qvga");
    EXPECT_EQ(Quillfeed({"settings", "get", "Settings", "InstallPath"}).out, "\\Elsewhere\n");
}

// Numbers and texts set then read back, a missing setting's default (creating nothing), and nested
// sections listed as keys.
TEST_F(CliSettings, SetGetAndList) {
    ASSERT_EQ(Init().exit_code, 0);
    ASSERT_EQ(Quillfeed({"settings", "set", "Today", "VSize", "80", "--dword"}).exit_code, 0);
    EXPECT_EQ(Quillfeed({"settings", "get", "Today", "VSize"}).out, "80\n");

    ASSERT_EQ(Quillfeed({"settings", "set", "AutoReload", "NextReload", "0xFFFFFFFF", "--dword"}).exit_code,
              0);
    EXPECT_EQ(Quillfeed({"settings", "get", "AutoReload", "NextReload"}).out, "-1\n");

    ASSERT_EQ(Quillfeed({"settings", "set", "Today", "FontSize", "larger", "--string"}).exit_code, 0);
    nlohmann::json got =
        nlohmann::json::parse(Quillfeed({"settings", "get", "Today", "FontSize", "--json"}).out);
    EXPECT_EQ(got["value"], "larger");
    EXPECT_EQ(got["type"], "string");

    EXPECT_EQ(Quillfeed({"settings", "get", "Warning", "LowRAM", "--default", "1"}).out, "1\n");
    EXPECT_EQ(Quillfeed({"settings", "list", "Warning"}).out, "");
    EXPECT_EQ(Quillfeed({"--json", "settings", "list", "Warning"}).out, "[]\n");

    ASSERT_EQ(Quillfeed({"settings", "set", "RSSMap\\Map3", "Title", "headline", "--string"}).exit_code, 0);
    ASSERT_EQ(Quillfeed({"settings", "set", "RSSMap\\Map3", "XmlChildren", "1", "--dword"}).exit_code, 0);
    EXPECT_EQ(Quillfeed({"settings", "list", "RSSMap"}).out,
              "RSSMap\\Map3/Title = headline\nRSSMap\\Map3/XmlChildren = 1\n");
    nlohmann::json list = nlohmann::json::parse(Quillfeed({"--json", "settings", "list"}).out);
    bool found = false;
    for (const auto& entry : list) found |= entry["section"] == "RSSMap\\Map3" && entry["key"] == "Title";
    EXPECT_TRUE(found);
}

TEST_F(CliSettings, ErrorsAreOneLineAndNonZero) {
    EXPECT_TRUE(test::FailedWith(Quillfeed({"settings", "list"}), test::kNonZero, "no device",
                                 test::ErrorLines::kOne));

    ASSERT_EQ(Init().exit_code, 0);
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"settings", "set", "Today", "VSize", "eighty", "--dword"},
                                               {"settings", "set", "Today", "VSize", "80"},
                                               {"settings", "get", "Today"},
                                               {"init", "--profile", "xga"},
                                               {"frobnicate"}}) {
        EXPECT_TRUE(test::FailedWith(Quillfeed(args), test::kNonZero, "", test::ErrorLines::kOne))
            << args.back();
    }
}

}  // namespace
}  // namespace qf
