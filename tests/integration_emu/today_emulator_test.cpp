// Runs the real `quillfeed init` and `quillfeed-emu today` on a throw-away device.
#include <gtest/gtest.h>
#include <signal.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "common/settings_store.h"
#include "integration_emu/screen_picture.h"
#include "qfdevice/gdi_io.h"
#include "support/background_program.h"
#include "support/device_test.h"
#include "support/watchdog.h"

namespace qf {
namespace {

using namespace std::chrono_literals;

// A fresh device has the default views, and the first of them ("Search Results") lists nothing yet.
constexpr char kEmptyView[] = "Current View does not have any unread items.";

class TodayEmulator : public test::DeviceTest {
  protected:
    TodayEmulator() { env_ = test::kPinnedClock; }
    void Init(const std::string& profile = "qvga") {
        test::ProgramResult init = Quillfeed({"init", "--profile", profile});
        ASSERT_EQ(init.exit_code, 0) << init.err;
    }
    test::ProgramResult Emulate(const std::vector<std::string>& lines,
                                const std::vector<std::string>& extra = {}) {
        return DeviceTest::Emulate("today", lines, extra);
    }
    // The item's Today/HWND as the command line reads it.
    std::string HwndSetting() {
        return Quillfeed({"settings", "get", "Today", "HWND", "--default", "none"}).out;
    }

    // Starts the Today screen on standard input and waits until the item has published its window.
    void StartInBackground() {
        emulator_.emplace(std::vector<std::string>{test::BuiltProgram("quillfeed-emu"), "today", "--device",
                                                   root(), "--script", "-"},
                          test::kPinnedClock, device_.HostPath("emulator"));
        ASSERT_TRUE(emulator_->started());
        for (int attempt = 0; attempt < 600 && PublishedHwnd() == 0; ++attempt)
            std::this_thread::sleep_for(50ms);
        ASSERT_NE(PublishedHwnd(), 0) << emulator_->Errors();
    }
    static LONG PublishedHwnd() { return AppSettings().ReadDword(u"Today", u"HWND", 0); }

    std::optional<test::BackgroundProgram> emulator_;
};

TEST_F(TodayEmulator, FreshDeviceShowsItsEmptyFirstView) {
    Init();
    test::ProgramResult run = Emulate({"advance 2s", "dump out.json", "screenshot out.png"});
    ASSERT_EQ(run.exit_code, 0) << run.err;

    nlohmann::json dump = Dump("out.json");
    EXPECT_EQ(
        test::Pick(dump, {"/screen/width", "/screen/height", "/time", "/items/0/class", "/items/0/height",
                          "/items/0/rect", "/items/1"}),
        R"([240,320,"2024-05-03T09:00:02","ZelTodayRSSClass",75,{"bottom":101,"left":0,"right":240,"top":26},null])");
    const nlohmann::json& item = dump["items"][0];
    const nlohmann::json* text = test::Find(item["texts"], {{"text", kEmptyView}});
    ASSERT_NE(text, nullptr) << item["texts"].dump();
    EXPECT_EQ(test::Pick(*text, {"/rect/left", "/font_height"}), "[20,-11]");
    EXPECT_EQ(std::pair(test::Find(dump["timers"], {{"hwnd", item["hwnd"]}, {"id", 21}}) != nullptr,
                        test::Find(dump["timers"], {{"hwnd", item["hwnd"]}, {"id", 13}}) != nullptr),
              std::pair(true, false))
        << "the timer that ticks is 21, not 13";

    EXPECT_GT(test::DarkPixels(u"\\out.png", RECT{20, 26, 230, 101}), 50);  // the message
    // The installed menu button, its transparent red left out.
    test::Picture art(u"\\Program Files\\Quillfeed\\images\\today\\skin\\menuButton.bmp");
    ASSERT_TRUE(art.ok());
    EXPECT_EQ(test::ArtMismatches(test::Picture(u"\\out.png"), art, 0, 26), 0);
    EXPECT_EQ(test::DarkPixels(u"\\out.png", RECT{0, 110, 240, 320}), 0);  // nothing below the item
    EXPECT_EQ(HwndSetting(), "0\n");
}

TEST_F(TodayEmulator, VgaScreenAt192Dpi) {
    Init("vga");
    test::ProgramResult run =
        Emulate({"advance 1s"}, {"--dump", Host("vga.json"), "--screenshot", Host("vga.png")});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    nlohmann::json dump = Dump("vga.json");
    EXPECT_EQ(test::Pick(dump, {"/screen/width", "/screen/dpi", "/items/0/rect/top"}), "[480,192,52]");
    const nlohmann::json* text = test::Find(dump["items"][0]["texts"], {{"text", kEmptyView}});
    ASSERT_NE(text, nullptr);
    // 8 points at 192 dpi, and the layout doubles.
    EXPECT_EQ(test::Pick(*text, {"/font_height", "/rect/left"}), "[-21,40]");
    test::Picture shot(u"\\vga.png");
    EXPECT_EQ(shot.width(), 480);
    EXPECT_GT(test::DarkPixels(u"\\vga.png", RECT{0, 52, 480, 52 + 75}), 50);
    // The "_high" picture drawn 1:1 rather than the plain one stretched.
    test::Picture art(u"\\Program Files\\Quillfeed\\images\\today\\skin\\menuButton_high.bmp");
    ASSERT_TRUE(art.ok());
    EXPECT_EQ(test::ArtMismatches(shot, art, 0, 52), 0);
}

TEST_F(TodayEmulator, ReleaseDatabaseMessageFromAnotherProcess) {
    Init();
    test::Watchdog watchdog(60s, "the release-database message to a running emulator");
    // The command line finds the item window as the main application would: through Today/HWND.
    StartInBackground();
    LONG published = PublishedHwnd();
    HWND item = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(published));
    EXPECT_EQ(SendMessageW(item, 0x041E, 0, 0), 2);

    ASSERT_TRUE(emulator_->Write("dump " + Host("running.json") + "\nquit\n"));
    EXPECT_EQ(emulator_->Finish(), 0) << emulator_->Errors();
    // The dump names the published window, which is unpublished and gone after the quit.
    EXPECT_EQ(std::tuple(Dump("running.json")["items"][0]["hwnd"].get<LONG>(),
                         AppSettings().ReadDword(u"Today", u"HWND", -1), SendMessageW(item, 0x041E, 0, 0)),
              std::tuple(published, 0, 0));
}

TEST_F(TodayEmulator, AStoppedEmulatorDoesNotHoldUpACompaction) {
    Init();
    test::Watchdog watchdog(90s, "compacting while the item's process is stopped");
    StartInBackground();
    emulator_->Signal(SIGSTOP);
    test::ProgramResult compacted = Quillfeed({"db", "compact"});
    // The stopped item may hold the database or its lock: the compaction then gives up with a one-line
    // reason after its time-outs (it succeeds when the item had not opened the database yet), and never
    // waits for the item.
    if (compacted.exit_code != 0) {
        EXPECT_EQ(compacted.exit_code, 1);
        EXPECT_EQ(std::count(compacted.err.begin(), compacted.err.end(), '\n'), 1) << compacted.err;
    }
    emulator_->Signal(SIGCONT);
    ASSERT_TRUE(emulator_->Write("quit\n"));
    EXPECT_EQ(emulator_->Finish(), 0) << emulator_->Errors();
    test::ProgramResult info = Quillfeed({"db", "info"});
    EXPECT_EQ(info.exit_code, 0) << info.err;
}

// Each problem is one line and a non-zero exit; an explicit --plugin needs no registration.
TEST_F(TodayEmulator, ProblemsAreOneLineAndNonZero) {
    using test::FailedWith;
    EXPECT_TRUE(FailedWith(Emulate({"quit"}), 1, "no device"));

    Init();
    EXPECT_TRUE(FailedWith(Emulate({"advance 1s", "fly away", "dump never.json"}), 2, "script line 2"));
    EXPECT_FALSE(std::filesystem::exists(device_.HostPath("never.json")));
    EXPECT_EQ(HwndSetting(), "0\n");

    auto today = [&](const std::string& script) {
        return test::RunProgram(
            {test::BuiltProgram("quillfeed-emu"), "today", "--device", root(), "--script", script});
    };
    EXPECT_TRUE(FailedWith(today(Host("missing.txt")), 1, "cannot read the script"));
    EXPECT_TRUE(FailedWith(today("/dev/zero"), 2, "script line 1: the line is too long"));

    std::filesystem::resize_file(device_.HostPath("Program Files/Quillfeed/QuillfeedToday.dll"), 65536);
    EXPECT_TRUE(FailedWith(Emulate({"quit"}), 1, "cannot load the Today item", test::ErrorLines::kOne));

    ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Today\\Items"), ERROR_SUCCESS);
    EXPECT_TRUE(FailedWith(Emulate({"quit"}), 1, "no Today item"));
    test::ProgramResult plugin =
        Emulate({"dump plugin.json"}, {"--plugin", std::string(QF_BINARY_DIR) + "/src/libquillfeedtoday.so"});
    ASSERT_EQ(plugin.exit_code, 0) << plugin.err;
    EXPECT_EQ(Dump("plugin.json")["items"][0]["class"], "ZelTodayRSSClass");
}

}  // namespace
}  // namespace qf
