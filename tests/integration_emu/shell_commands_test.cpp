// The emulator's answers to menus, message boxes and notifications, its sleep and settle, and scripts fed
// line by line, driven through a probe item that opens each of them (tests/emu_probe).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

#include "integration_emu/screen_picture.h"
#include "qfdevice/gdi_io.h"
#include "support/background_program.h"
#include "support/device_test.h"
#include "support/watchdog.h"

namespace qf {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// The probe item lies under the 26-pixel title bar; its left half opens the menu, its right half a box.
constexpr char kTapMenu[] = "tap 10 46";
constexpr char kTapBox[] = "tap 200 46";

class ShellCommands : public test::DeviceTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(Quillfeed({"init"}).exit_code, 0);
        env_ = test::kPinnedClock;
    }
    test::ProgramResult Emulate(const std::vector<std::string>& lines) {
        return DeviceTest::Emulate("today", lines, {"--plugin", kProbe});
    }

    const std::string kProbe = std::string(QF_BINARY_DIR) + "/tests/libqf_probe_item.so";
    test::Watchdog watchdog_{120s, "an emulator run"};
};

std::string Status(const json& dump) { return dump["items"][0]["state"]["status_text"]; }

TEST_F(ShellCommands, MenusAreAnsweredAsAPenWould) {
    // Down highlights the first entry; a tap beside the open menu closes it.
    // clang-format off
    test::ProgramResult run = Emulate({"advance 1s", kTapMenu, "dump open.json", "screenshot open.png",
                                       "menu Feed List", "dump submenu.json", "screenshot closed.png",
                                       kTapMenu, "key down", "key enter", "dump keys.json",
                                       kTapMenu, "menu cancel", "dump cancelled.json",
                                       kTapMenu, "tap 230 310", "dump outside.json",
                                       kTapMenu, "menu Help", "dump help.json"});
    // clang-format on
    ASSERT_EQ(run.exit_code, 0) << run.err;

    json open = Dump("open.json");
    EXPECT_EQ(open["menu"]["state"].dump() + open["menu"]["position"].dump(), R"("open"{"x":10,"y":46})");
    EXPECT_EQ(
        test::Pick(open["menu"]["entries"],
                   {"/0", "/1", "/2/text", "/2/submenu/0", "/4/grayed", "/5/text", "/6"}),
        R"([{"checked":false,"grayed":false,"id":2003,"text":"Reload Feed Data"},{"separator":true},"Views",)"
        R"({"checked":true,"grayed":false,"id":2040,"text":"Feed List"},true,"Cancel",null])");
    // The open menu is on the screen, below and right of the tap, and gone once answered.
    RECT menu_area{12, 70, 100, 160};  // below the item's own text
    EXPECT_GT(test::DarkPixels(u"\\open.png", menu_area), 200);
    EXPECT_LT(test::DarkPixels(u"\\closed.png", menu_area), 20);

    // Menu state and item status after each answer; the tap beside the menu went nowhere else.
    std::string answers;
    for (const char* file : {"submenu.json", "keys.json", "cancelled.json", "outside.json"}) {
        json dump = Dump(file);
        answers += dump["menu"]["state"].get<std::string>() + ":" + Status(dump) + ",";
    }
    EXPECT_EQ(answers,
              "chosen:command 2040,chosen:command 2003,cancelled:command 2003,cancelled:command 2003,");
    EXPECT_EQ(Dump("submenu.json")["menu"]["chosen_id"], 2040);

    json help = Dump("help.json");
    EXPECT_EQ(Status(help), "command 2002");
    EXPECT_EQ(
        help["launches"].dump(),
        R"([{"directory":"","file":"\\Windows\\iexplore.exe","parameters":"\\help.htm","show":0,"verb":"open"}])");
}

TEST_F(ShellCommands, MessageBoxesAndNotificationsWaitForTheirAnswer) {
    test::ProgramResult run = Emulate(
        {"advance 1s", kTapBox, "dump box.json", "screenshot box.png", "msgbox yes", "dump answered.json",
         "key down", "key enter", "dump bubble.json", "screenshot bubble.png", "notification Download Now",
         "dump pressed.json", "key enter", "notification dismiss", "dump dismissed.json"});
    ASSERT_EQ(run.exit_code, 0) << run.err;

    json box = Dump("box.json");
    EXPECT_EQ(box["messageBoxes"].dump(),
              R"([{"answer":null,"buttons":["Yes","No"],"caption":"Probe","open":true,"text":"Really?"}])");
    EXPECT_GT(test::DarkPixels(u"\\box.png", RECT{12, 120, 228, 200}), 100);  // centred on the screen
    json answered = Dump("answered.json");
    EXPECT_EQ(answered["messageBoxes"][0]["answer"], "Yes");
    EXPECT_EQ(Status(answered), "answer 6");

    EXPECT_EQ(test::Pick(Dump("bubble.json")["notifications"],
                         {"/0/title", "/0/text", "/0/buttons", "/0/shown", "/1"}),
              R"(["Quillfeed Notification","Ready to download.",[{"command":10,"text":"Download Now"},)"
              R"({"command":11,"text":"Cancel"}],true,null])");
    EXPECT_GT(test::DarkPixels(u"\\bubble.png", RECT{4, 26, 236, 60}), 100);  // under the title bar
    json pressed = Dump("pressed.json");
    EXPECT_EQ(Status(pressed), "command 10");
    EXPECT_TRUE(pressed["notifications"].empty());  // the item removed it
    EXPECT_EQ(test::Pick(Dump("dismissed.json")["notifications"], {"/0/shown", "/1"}), "[false,null]");
}

TEST_F(ShellCommands, SleepMovesTheClockWithoutTicksAndSettleWaitsForTheRun) {
    test::ProgramResult run = Emulate({"advance 1s", "sleep 70m", "dump slept.json", "settle 5s"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(Dump("slept.json")["time"], "2024-05-03T10:10:01");

    // A run that never ends: settle gives up after its time-out.
    ASSERT_EQ(Quillfeed({"settings", "set", "AutoReload", "BackgroundStatus", "1", "--dword"}).exit_code, 0);
    EXPECT_TRUE(test::FailedWith(Emulate({"settle 300ms", "dump after.json"}), 1, "did not end"));
    EXPECT_TRUE(std::filesystem::exists(device_.HostPath("after.json")));
}

TEST_F(ShellCommands, AnswersWithoutAQuestionAreRefused) {
    struct Case {
        std::vector<std::string> lines;
        const char* reason;
    };
    for (const Case& c : std::vector<Case>{{{"menu Views"}, "no menu is open"},
                                           {{kTapMenu, "menu Settings"}, "no entry 'Settings'"},
                                           {{kTapMenu, "menu Gray"}, "is gray"},
                                           {{"msgbox OK"}, "no message box is open"},
                                           {{kTapBox, "msgbox OK"}, "no button 'OK'"},
                                           {{"notification Download Now"}, "no notification is shown"},
                                           {{"notification dismiss"}, "no notification is shown"}}) {
        EXPECT_TRUE(test::FailedWith(Emulate(c.lines), 2, c.reason));
    }
}

// The test feeds one line, waits for its "ok", and only then looks or sends the next.
TEST_F(ShellCommands, StandardInputRunsEachLineAsItArrives) {
    test::BackgroundProgram emulator({test::BuiltProgram("quillfeed-emu"), "today", "--device", root(),
                                      "--plugin", kProbe, "--script", "-"},
                                     test::kPinnedClock, device_.HostPath("emulator"));
    ASSERT_TRUE(emulator.started());
    auto acknowledged = [&](int line) {
        for (int attempt = 0; attempt < 1200; ++attempt) {
            if (device_.ReadFile("emulator.out").find("ok " + std::to_string(line) + "\n") !=
                std::string::npos)
                return true;
            std::this_thread::sleep_for(25ms);
        }
        return false;
    };
    // The tap's line is done once its menu is open, although the menu waits for the next line.
    const std::string lines[] = {"advance 1s", kTapMenu, "menu Today", "dump " + Host("stepped.json")};
    for (int line = 1; line <= 4; ++line) {
        ASSERT_TRUE(emulator.Write(lines[line - 1] + "\n"));
        ASSERT_TRUE(acknowledged(line)) << lines[line - 1] << emulator.Errors();
    }
    EXPECT_EQ(Status(Dump("stepped.json")), "command 4100");
    ASSERT_TRUE(emulator.Write("quit\n"));
    EXPECT_EQ(emulator.Finish(), 0) << emulator.Errors();
}

}  // namespace
}  // namespace qf
