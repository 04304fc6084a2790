// The item at work in the real `quillfeed-emu today` on a device filled by `quillfeed` from a loopback
// feed server: ticker and list, the menus and their commands, and the scheduled prompt. The in-process
// suite (tests/host) covers the browser hand-off, the warnings and a "Reload Feed Data" run.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "support/feed_server.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace qf {
namespace {

using nlohmann::json;

const std::vector<std::string> kPinnedClock = {"QUILLFEED_CLOCK=2024-05-03T09:00:00"};

class ItemSession : public ::testing::Test {
  protected:
    // A device with the view "News" of two feeds of three stories each, shown by the item.
    void SetUp() override {
        ASSERT_EQ(Cli({"init"}).exit_code, 0);
        json view = json::parse(Cli({"--json", "view", "add", "News"}).out);
        view_id_ = view["view"]["id"].get<int>();
        server_.Serve("/a.xml", test::StoryFeed("Alpha", 3));
        server_.Serve("/b.xml", test::StoryFeed("Beta", 3));
        for (const char* path : {"/a.xml", "/b.xml"}) {
            ASSERT_EQ(Cli({"feed", "add", server_.Url(path), "--view", std::to_string(view_id_)}).exit_code,
                      0);
        }
        ASSERT_EQ(Cli({"refresh"}).exit_code, 0);
        Set("Today", "CurrentViewID", std::to_string(view_id_));
    }

    test::ProgramResult Cli(std::vector<std::string> args) {
        // The same pinned clock as the emulator's, so that items and runs are dated on one time line.
        args.insert(args.begin(), {test::BuiltProgram("quillfeed"), "--device", device_.root().string()});
        return test::RunProgram(args, {}, kPinnedClock);
    }
    void Set(const std::string& section, const std::string& key, const std::string& value,
             const char* type = "--dword") {
        ASSERT_EQ(Cli({"settings", "set", section, key, value, type}).exit_code, 0);
    }
    std::string Setting(const std::string& section, const std::string& key) {
        return Cli({"settings", "get", section, key, "--default", "none"}).out;
    }

    // Runs the Today screen with the script; "DUMP name" lines become dumps into the device folder.
    test::ProgramResult Emulate(const std::vector<std::string>& lines) {
        std::string script;
        for (const std::string& line : lines) {
            script += line.rfind("DUMP ", 0) == 0
                          ? "dump " + device_.HostPath(line.substr(5) + ".json").string()
                          : line;
            script += "\n";
        }
        std::ofstream(device_.HostPath("script.txt")) << script;
        return test::RunProgram(
            {test::BuiltProgram("quillfeed-emu"), "today", "--device", device_.root().string(), "--script",
             device_.HostPath("script.txt").string()},
            {}, kPinnedClock);
    }
    json Item(const std::string& dump) {
        std::ifstream in(device_.HostPath(dump + ".json"));
        return json::parse(in)["items"][0];
    }
    json Dump(const std::string& dump) {
        std::ifstream in(device_.HostPath(dump + ".json"));
        return json::parse(in);
    }
    static std::string Texts(const json& item) {
        std::string joined;
        for (const json& text : item["texts"]) joined += text["text"].get<std::string>() + "|";
        return joined;
    }

    test::TempDevice device_;
    test::FeedServer server_;
    int view_id_ = 0;
};

bool Has(const std::string& texts, const std::string& text) { return texts.find(text) != std::string::npos; }

TEST_F(ItemSession, TickerListMenusAndViews) {
    test::ProgramResult run = Emulate({
        "advance 2s",
        "DUMP first",
        "advance 3s",
        "DUMP second",
        "tap 5 31",
        "DUMP menu",
        "menu Use List Mode",
        "DUMP list",
        "key down",  // brings the Today screen's selection into the item
        "key down",
        "key enter",
        "DUMP details",
        "tap 5 31",
        "menu Whats New",
        "DUMP whatsnew",
    });
    ASSERT_EQ(run.exit_code, 0) << run.err;

    json first = Item("first");
    EXPECT_TRUE(Has(Texts(first), "Alpha story 0|About Alpha 0|")) << Texts(first);
    EXPECT_EQ(first["state"]["view_id"], view_id_);
    EXPECT_TRUE(Has(Texts(Item("second")), "Alpha story 1|"));

    json menu = Dump("menu")["menu"];
    std::vector<std::string> entries;
    for (const json& entry : menu["entries"]) entries.push_back(entry.value("text", "-"));
    ASSERT_GE(entries.size(), 5u);
    EXPECT_EQ(entries[0], "Reload Feed Data");
    EXPECT_EQ(entries[2], "Views");
    EXPECT_EQ(entries[4], "Font Size");
    EXPECT_EQ(entries.back(), "Cancel");

    json list = Item("list");
    EXPECT_TRUE(Has(Texts(list), "\u00B0 Alpha story 0|\u00B0 Alpha story 1|")) << Texts(list);
    EXPECT_EQ(Setting("Today", "ListMode"), "1\n");
    json details = Item("details");
    EXPECT_TRUE(Has(Texts(details), "Alpha story 1|About Alpha 1|")) << Texts(details);
    EXPECT_EQ(details["state"]["details_shown"], true);

    EXPECT_EQ(Setting("Today", "CurrentViewID"), "1\n");
    EXPECT_EQ(Item("whatsnew")["state"]["view_name"], "Whats New");
}

TEST_F(ItemSession, ScheduledPromptAskedAcceptedOrDeclined) {
    // The set-up's run ended at 09:00, so 09:09 (a minute before Time1) is the first due check.
    Set("AutoReload", "Time1", std::to_string(9 * 60 + 10));
    test::ProgramResult run = Emulate({"sleep 8m", "DUMP early", "advance 1m", "DUMP asked",
                                       "notification Download Now", "advance 1s", "settle 60s", "DUMP ran"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(Dump("early")["notifications"].empty());
    json asked = Dump("asked")["notifications"];
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0]["title"], "Quillfeed Notification");
    EXPECT_EQ(asked[0]["shown"], true);
    EXPECT_TRUE(Has(Texts(Item("ran")), "Downloading Complete")) << Texts(Item("ran"));
    EXPECT_EQ(server_.Hits("/a.xml"), 2);

    // The emulator's clock starts at 09:00 again: the last run must not look as if it ended later.
    Set("AutoReload", "BackgroundLastRefresh", "0", "--string");
    run = Emulate({"sleep 8m", "advance 1m", "notification Cancel", "advance 1m", "DUMP declined"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(server_.Hits("/a.xml"), 2);
    EXPECT_TRUE(Item("declined")["state"].value("status_text", "").empty());
}

TEST_F(ItemSession, ScheduledRunStartsWithoutAskingWhenWarningsAreOff) {
    Set("AutoReload", "Time1", std::to_string(9 * 60 + 10));
    Set("Warning", "AutoReload", "0");
    test::ProgramResult run = Emulate(
        {"sleep 8m", "advance 1m", "advance 8s", "DUMP waiting", "advance 2s", "settle 60s", "DUMP ran"});
    ASSERT_EQ(run.exit_code, 0) << run.err;
    EXPECT_TRUE(Dump("waiting")["notifications"].empty());
    EXPECT_EQ(server_.Hits("/a.xml"), 2);
    EXPECT_TRUE(Has(Texts(Item("ran")), "Downloading Complete"));
}

}  // namespace
}  // namespace qf
