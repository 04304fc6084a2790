// The item at work in the real `quillfeed-emu today` on a device filled by `quillfeed` from a loopback
// feed server: ticker and list, the menus and their commands, and the scheduled prompt. The in-process
// suite (tests/host) covers the browser hand-off, the warnings and a "Reload Feed Data" run.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/device_test.h"
#include "support/feed_server.h"

namespace qf {
namespace {

using nlohmann::json;
using test::Texts;

class ItemSession : public test::DeviceTest {
  protected:
    // A device with the view "News" of two feeds of three stories each, shown by the item. The command
    // line runs on the emulator's pinned clock, so that items and runs are dated on one time line.
    void SetUp() override {
        env_ = test::kPinnedClock;
        ASSERT_EQ(Quillfeed({"init"}).exit_code, 0);
        view_id_ = QuillfeedJson({"view", "add", "News"})["view"]["id"].get<int>();
        server_.Serve("/a.xml", test::StoryFeed("Alpha", 3));
        server_.Serve("/b.xml", test::StoryFeed("Beta", 3));
        for (const char* path : {"/a.xml", "/b.xml"})
            ASSERT_EQ(
                Quillfeed({"feed", "add", server_.Url(path), "--view", std::to_string(view_id_)}).exit_code,
                0);
        ASSERT_EQ(Quillfeed({"refresh"}).exit_code, 0);
        Set("Today", "CurrentViewID", std::to_string(view_id_));
    }

    void Set(const std::string& section, const std::string& key, const std::string& value,
             const char* type = "--dword") {
        ASSERT_EQ(Quillfeed({"settings", "set", section, key, value, type}).exit_code, 0);
    }
    std::string Setting(const std::string& section, const std::string& key) {
        return Quillfeed({"settings", "get", section, key, "--default", "none"}).out;
    }
    test::ProgramResult Emulate(const std::vector<std::string>& lines) {
        return DeviceTest::Emulate("today", lines);
    }
    json Item(const std::string& dump) { return Dump(dump)["items"][0]; }

    test::FeedServer server_;
    int view_id_ = 0;
};

bool Has(const std::string& texts, const std::string& text) { return texts.find(text) != std::string::npos; }

TEST_F(ItemSession, TickerListMenusAndViews) {
    test::ProgramResult run = Emulate({"advance 2s", "dump first.json", "advance 3s", "dump second.json",
                                       "tap 5 31", "dump menu.json", "menu Use List Mode", "dump list.json",
                                       "key down",  // brings the Today screen's selection into the item
                                       "key down", "key enter", "dump details.json", "tap 5 31",
                                       "menu Whats New", "dump whatsnew.json"});
    ASSERT_EQ(run.exit_code, 0) << run.err;

    json first = Item("first.json");
    EXPECT_TRUE(Has(Texts(first), "Alpha story 0|About Alpha 0|")) << Texts(first);
    EXPECT_EQ(first["state"]["view_id"], view_id_);
    EXPECT_TRUE(Has(Texts(Item("second.json")), "Alpha story 1|"));

    json menu = Dump("menu.json")["menu"];
    std::vector<std::string> entries;
    for (const json& entry : menu["entries"]) entries.push_back(entry.value("text", "-"));
    ASSERT_GE(entries.size(), 5u);
    EXPECT_EQ(entries[0] + "," + entries[2] + "," + entries[4] + "," + entries.back(),
              "Reload Feed Data,Views,Font Size,Cancel");

    json list = Item("list.json");
    EXPECT_TRUE(Has(Texts(list), "\u00B0 Alpha story 0|\u00B0 Alpha story 1|")) << Texts(list);
    EXPECT_EQ(Setting("Today", "ListMode"), "1\n");
    json details = Item("details.json");
    EXPECT_TRUE(Has(Texts(details), "Alpha story 1|About Alpha 1|")) << Texts(details);
    EXPECT_EQ(details["state"]["details_shown"], true);

    EXPECT_EQ(Setting("Today", "CurrentViewID"), "1\n");
    EXPECT_EQ(Item("whatsnew.json")["state"]["view_name"], "Whats New");
}

TEST_F(ItemSession, ScheduledPromptAskedAcceptedOrDeclined) {
    // The set-up's run ended at 09:00, so 09:09 (a minute before Time1) is the first due check.
    Set("AutoReload", "Time1", std::to_string(9 * 60 + 10));
    test::ProgramResult run =
        Emulate({"sleep 8m", "dump early.json", "advance 1m", "dump asked.json", "notification Download Now",
                 "advance 1s", "settle 60s", "dump ran.json"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(Dump("early.json")["notifications"].empty());
    json asked = Dump("asked.json")["notifications"];
    EXPECT_EQ(test::Pick(asked, {"/0/title", "/0/shown", "/1"}), R"(["Quillfeed Notification",true,null])");
    EXPECT_TRUE(Has(Texts(Item("ran.json")), "Downloading Complete")) << Texts(Item("ran.json"));
    EXPECT_EQ(server_.Hits("/a.xml"), 2);

    // The emulator's clock starts at 09:00 again: the last run must not look as if it ended later.
    Set("AutoReload", "BackgroundLastRefresh", "0", "--string");
    run = Emulate({"sleep 8m", "advance 1m", "notification Cancel", "advance 1m", "dump declined.json"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(server_.Hits("/a.xml"), 2);
    EXPECT_TRUE(Item("declined.json")["state"].value("status_text", "").empty());
}

TEST_F(ItemSession, ScheduledRunStartsWithoutAskingWhenWarningsAreOff) {
    Set("AutoReload", "Time1", std::to_string(9 * 60 + 10));
    Set("Warning", "AutoReload", "0");
    test::ProgramResult run = Emulate({"sleep 8m", "advance 1m", "advance 8s", "dump waiting.json",
                                       "advance 2s", "settle 60s", "dump ran.json"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(Dump("waiting.json")["notifications"].empty());
    EXPECT_EQ(server_.Hits("/a.xml"), 2);
    EXPECT_TRUE(Has(Texts(Item("ran.json")), "Downloading Complete"));
}

}  // namespace
}  // namespace qf
