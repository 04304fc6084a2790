// A session in the real `quillfeed-emu tab`: the item in the tab host's tab with the control strip, the
// views menu from the strip's view field, the hot keys and the D-pad moving the selection, the tab
// commands, and the strip's art blended from the tab host's skin.
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "integration_emu/screen_picture.h"
#include "support/device_test.h"
#include "support/feed_server.h"
#include "support/watchdog.h"

namespace qf::test {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

class TabEmulator : public DeviceTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(Quillfeed({"init"}).exit_code, 0);
        json view = QuillfeedJson({"view", "add", "News"});
        server_.Serve("/daily.xml", StoryFeed("Daily", 6));
        ProgramResult added = Quillfeed({"feed", "add", server_.Url("/daily.xml"), "--title", "Daily",
                                         "--view", std::to_string(view["view"]["id"].get<long long>())});
        ASSERT_EQ(added.exit_code, 0) << added.err;
    }
    ProgramResult Tab(const std::vector<std::string>& lines) {
        env_ = kPinnedClock;
        return Emulate("tab", lines);
    }

    FeedServer server_;
    Watchdog watchdog_{120s, "a tab host run"};
};

const json& TabItem(const json& dump) {
    const json* item = Find(dump["items"], {{"class", "ZelTodayRSSClass"}});
    return item ? *item : dump["items"];
}

TEST_F(TabEmulator, HotKeysAndTheViewsMenuDriveTheItemInItsTab) {
    ASSERT_EQ(Quillfeed({"refresh"}).exit_code, 0);
    ASSERT_EQ(Quillfeed({"settings", "set", "Today", "ListMode", "1", "--dword"}).exit_code, 0);
    // The strip lies in the control area at the bottom of the 240 x 320 screen.
    ProgramResult run =
        Tab({"advance 2s",         "dump start.json", "tap 60 308",     "menu News",      "advance 1s",
             "dump news.json",     "hotkey down",     "hotkey down",    "dump down.json", "key down",
             "key down",           "hotkey up",       "dump dpad.json", "hotkey enter",   "dump enter.json",
             "screenshot tab.png", "about",           "settings",       "resize 240 100", "hide",
             "dump end.json"});
    ASSERT_EQ(run.exit_code, 0) << run.err;

    json start = Dump("start.json");
    ASSERT_FALSE(start["tab"].is_null());
    EXPECT_EQ(Pick(start, {"/tab/api_version", "/tab/control_strip/class", "/tab/control_strip/rect/bottom"}),
              R"([1,"ZelTodayRSSPBCTRLClass",319])");
    EXPECT_EQ(Texts(start["tab"]["control_strip"]),
              TabItem(start)["state"]["view_name"].get<std::string>() + "|");
    EXPECT_EQ(TabItem(start)["rect"]["top"], 46);

    json news = Dump("news.json");
    EXPECT_EQ(Pick(news, {"/menu/state", "/menu/position/x"}) +
                  Pick(TabItem(news), {"/state/view_name", "/state/selected_row"}),
              R"(["chosen",40]["News",0])");
    EXPECT_EQ(Texts(news["tab"]["control_strip"]), "News|");

    EXPECT_EQ(TabItem(Dump("down.json"))["state"]["selected_row"], 2);
    // The first D-pad press gives the tab host the Today selection, the second moves down.
    EXPECT_EQ(TabItem(Dump("dpad.json"))["state"]["selected_row"], 2);
    json enter = Dump("enter.json");
    EXPECT_TRUE(TabItem(enter)["state"]["details_shown"]);

    json end = Dump("end.json");
    EXPECT_EQ(Pick(end, {"/tab/control_strip/visible", "/launches/0/parameters", "/launches/1"}) +
                  Pick(TabItem(end), {"/visible"}),
              R"([false,"-t",null][false])");
    EXPECT_EQ(TabItem(end)["rect"]["bottom"].get<int>() - TabItem(end)["rect"]["top"].get<int>(), 100);

    // The strip's menu button is the tab host's skin blended through its mask by the host's library:
    // opaque where the mask is white, a mix of picture and background where it is grey.
    Picture screen(u"\\tab.png");
    Picture art(u"\\Program Files\\Quillfeed\\images\\pb\\qf_menuButton.bmp");
    Picture mask(u"\\Program Files\\Quillfeed\\images\\pb\\qf_menuButtonMSK.bmp");
    ASSERT_TRUE(screen.ok() && art.ok() && mask.ok());
    int opaque = 0, blended = 0;
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            int weight = GetRValue(mask.At(x, y));
            bool same = screen.At(x, 299 + y) == art.At(x, y);
            opaque += weight == 255 && same ? 1 : 0;
            blended += weight > 0 && weight < 255 && !same ? 1 : 0;
        }
    }
    EXPECT_GT(opaque, 100);
    EXPECT_GT(blended, 0);
}

}  // namespace
}  // namespace qf::test
