// Runs the real `quillfeed` database commands on a throw-away device root, with the test itself as a
// second program working on the same database.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "db/feed_database.h"
#include "qfdevice/device.h"
#include "support/device_test.h"
#include "support/watchdog.h"

namespace qf {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr char16_t kDatabase[] = u"\\Program Files\\Quillfeed\\Quillfeed.cdb";

class CliDb : public test::DeviceTest {
  protected:
    void SetUp() override {
        // init makes the device's database too.
        test::ProgramResult created = Run({"init"});
        ASSERT_EQ(created.exit_code, 0) << created.err;
    }

    test::ProgramResult Run(std::vector<std::string> args) const { return Quillfeed(std::move(args)); }
    json RunJson(std::vector<std::string> args) {
        args.insert(args.begin(), "--json");
        test::ProgramResult result = Run(args);
        EXPECT_EQ(result.exit_code, 0) << result.err;
        return json::parse(result.out.empty() ? "{}" : result.out);
    }
    std::string DatabaseFile() { return qf::device::MapPath(kDatabase)->string(); }

    // An unread item of 2 January 2006, written as another program would.
    void AddItem(int item_id, int feed_id, const std::string& title) {
        char date[48];
        std::snprintf(date, sizeof date, "2006-01-02 10:%02d:00", item_id % 60);
        Sql("Insert Into FeedItems(FeedItemID,FeedID,GUID,Title,LinkUrl,Status,ItemDate) Values(" +
            std::to_string(item_id) + "," + std::to_string(feed_id) + ",'" + title + "','" + title +
            "','http://example.com/" + title + "',1,'" + date + "')");
    }
};

TEST_F(CliDb, CreateMakesAnOrdinarySqliteFileWithTheSharedSchema) {
    json info = RunJson({"db", "info"});
    EXPECT_EQ(json::array({info["version"], info["path"], info["counts"]["Views"]}),
              json::array({"2.0", "\\Program Files\\Quillfeed\\Quillfeed.cdb", 2}));
    EXPECT_EQ(Run({"settings", "get", "General", "Database"}).out,
              "\\Program Files\\Quillfeed\\Quillfeed.cdb\n");

    EXPECT_EQ(Sql("Select group_concat(name, ',') From (Select name From sqlite_master Order By rowid)"),
              "VersionInfo,Views,Feeds,ViewFeeds,ViewFeedItems,Subscriptions,SubscriptionFeeds,FeedItems,"
              "FeedItemShortData,FeedItemLongData,FeedItemAudioData,Views_PI,Feeds_PI,ViewFeeds_PI,"
              "ViewFeedItems_PI,"
              "FeedItems_PI,FeedItemsAlt_PI,FeedItemShortData_PI,FeedItemLongData_PI,FeedItemAudioData_PI,"
              "FeedItemsKey_QI");
    EXPECT_EQ(Sql("Select VersionNumber||':'||(Select group_concat(Label, '|') From Views) From VersionInfo"),
              "2.0:Whats New|Search Results");

    // A database on disk is never overwritten by a create, asked or not.
    ASSERT_EQ(Run({"view", "add", "Mine"}).exit_code, 0);
    EXPECT_TRUE(test::FailedWith(Run({"db", "create", "--yes"}), 1, "already exists"));
    EXPECT_EQ(Sql("Select count(*) From Views"), "3");
}

TEST_F(CliDb, AVersionOneDatabaseIsUpgradedWhenTheUserSaysYes) {
    ASSERT_EQ(Run({"feed", "add", "http://example.com/a", "--title", "A"}).exit_code, 0);
    ASSERT_EQ(Run({"feed", "add", "http://example.com/b", "--title", "B", "--max-items", "20"}).exit_code, 0);
    // What version 1.0 wrote: no ReadAfter in Feeds.
    Sql("Alter Table Feeds Drop Column ReadAfter");
    Sql("Update VersionInfo Set VersionNumber = '1.0'");

    test::ProgramResult declined = Run({"db", "info"});
    EXPECT_TRUE(test::FailedWith(declined, test::kNonZero, "Database Update Required"));
    EXPECT_NE(declined.err.find("--yes"), std::string::npos);
    EXPECT_EQ(Sql("Select VersionNumber From VersionInfo"), "1.0");

    json info = RunJson({"db", "info", "--yes"});
    EXPECT_EQ(info["version"], "2.0");
    EXPECT_EQ(Sql("Select group_concat(Title||':'||ReadAfter||':'||MaxItems, ',') From Feeds"),
              "A:10:50,B:10:20");
}

TEST_F(CliDb, ViewsFeedsItemsListingsAndSearch) {
    // New views hide items older than 7 days; these items are from 2006.
    json view =
        RunJson({"view", "add", "Fruit", "--num-to-show", "3", "--sort-by", "2", "--hide-after", "0"});
    int view_id = view["view"]["id"];
    json feed = RunJson({"feed", "add", "http://example.com/fruit", "--title", "Fruit news", "--view",
                         std::to_string(view_id), "--priority", "4"});
    int feed_id = feed["feed"]["id"];
    EXPECT_EQ(feed["feed"]["views"], json::array({view_id}));
    for (int i = 1; i <= 5; ++i) AddItem(100 + i, feed_id, i == 2 ? "Apple" : "Pear " + std::to_string(i));

    json listing = RunJson({"listing", std::to_string(view_id)});
    ASSERT_EQ(listing["rows"].size(), 3u);
    const json& first = listing["rows"][0];
    EXPECT_EQ(json::array({first["itemId"], first["feedTitle"], first["feedPriority"], first["viewId"],
                           first["itemDate"], first["link"], first["hasAudio"]}),
              json::array({105, "Fruit news", 4, view_id, "2006-01-02 10:45:00", "http://example.com/Pear 5",
                           false}));

    ASSERT_EQ(Run({"item", "status", "105", "2"}).exit_code, 0);
    listing = RunJson({"listing", std::to_string(view_id)});
    EXPECT_EQ(listing["rows"][0]["itemId"], 104) << "read items are hidden as in the item";

    json hits = RunJson({"search", "apple", "--by-date"});
    ASSERT_EQ(hits["hits"].size(), 1u);
    EXPECT_EQ(hits["hits"][0]["itemId"], 102);

    json feed_listing = RunJson({"listing", "--feed", std::to_string(feed_id)});
    EXPECT_EQ(json::array({feed_listing["rows"].size(), feed_listing["rows"][0]["viewId"]}),
              json::array({5, 0}));

    ASSERT_EQ(Run({"item", "delete", "101"}).exit_code, 0);
    EXPECT_EQ(RunJson({"items", "--feed", std::to_string(feed_id)})["items"].size(), 4u);
    ASSERT_EQ(
        Run({"feed", "update", std::to_string(feed_id), "--max-items", "9", "--extended-data"}).exit_code, 0);
    EXPECT_EQ(Sql("Select MaxItems||','||ExtendedData From Feeds"), "9,1");
    ASSERT_EQ(Run({"view", "update", std::to_string(view_id), "--hide-after", "2", "--keywords", "apple"})
                  .exit_code,
              0);
    ASSERT_EQ(Run({"view", "rebuild", std::to_string(view_id)}).exit_code, 0);
    EXPECT_EQ(Sql("Select group_concat(FeedItemID) From ViewFeedItems"), "102");
    ASSERT_EQ(Run({"view", "rebuild", "1"}).exit_code, 0);
    EXPECT_EQ(Sql("Select count(*) From ViewFeedItems Where ViewID = 1"), "4");

    ASSERT_EQ(Run({"items", "delete-all"}).exit_code, 0);
    EXPECT_EQ(Sql("Select count(*) From FeedItems"), "0");
    ASSERT_EQ(Run({"feed", "delete", std::to_string(feed_id)}).exit_code, 0);
    ASSERT_EQ(Run({"view", "delete", std::to_string(view_id)}).exit_code, 0);
    EXPECT_EQ(Sql("Select count(*) From Feeds") + Sql("Select count(*) From Views"), "02");
    EXPECT_EQ(Run({"settings", "get", "Today", "TodayHasChanged"}).out, "1\n");
}

TEST_F(CliDb, ClearErrorsAndExitCodes) {
    test::ProgramResult missing = Run({"view", "delete", "12345"});
    EXPECT_EQ(std::to_string(missing.exit_code) + missing.err, "1quillfeed: no view 12345\n");
    json failed = json::parse(Run({"--json", "feed", "clear", "9"}).out);
    EXPECT_EQ(json::array({failed["ok"], failed["error"]}), json::array({false, "no feed 9"}));
    EXPECT_NE(Run({"item", "status", "1", "7"}).exit_code, 0);
    EXPECT_EQ(Run({"view", "delete", "1"}).err, "quillfeed: view 1 is built in and cannot be deleted\n");
    // A database at the usual place that the settings do not name is never offered for replacement.
    ASSERT_EQ(Run({"settings", "set", "General", "Database", "", "--string"}).exit_code, 0);
    EXPECT_TRUE(test::FailedWith(Run({"views"}), test::kNonZero, "run 'quillfeed init' to use it"));
    std::filesystem::remove(DatabaseFile());
    EXPECT_TRUE(test::FailedWith(Run({"views"}), test::kNonZero, "no database is set up"));

    // Inputs that cannot be read say so in one line.
    std::filesystem::create_directories(device_.HostPath("folder"));
    ASSERT_EQ(Run({"init"}).exit_code, 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"backup", "import", device_.HostPath("folder").string()},
          {"backup", "import", "/dev/zero"},
          {"backup", "import", "\\Windows"},
          {"subscription", "add", device_.HostPath("folder").string()}}) {
        EXPECT_TRUE(test::FailedWith(Run(args), 1, "cannot read", test::ErrorLines::kOne)) << args.back();
    }
}

TEST_F(CliDb, HostFileNamesAndBackupTargetsNeverReachOtherDeviceFiles) {
    ASSERT_EQ(Run({"view", "add", "Kept"}).exit_code, 0);
    std::filesystem::path backup = device_.HostPath("good.xml");
    ASSERT_EQ(Run({"backup", "export", backup.string()}).exit_code, 0);
    std::string placeholder = device_.ReadFile("Windows/iexplore.exe");
    // Host names whose backslashes would climb out of \Temp onto the database and a system file.
    std::filesystem::create_directories(device_.HostPath("host"));
    std::filesystem::path climbing_backup =
        device_.HostPath("host") / "x\\..\\..\\Program Files\\Quillfeed\\Quillfeed.cdb";
    std::filesystem::copy_file(backup, climbing_backup);
    std::filesystem::path climbing_list = device_.HostPath("host") / "y\\..\\..\\Windows\\iexplore.exe";
    std::ofstream(climbing_list)
        << "<opml><body><outline title=\"One\" xmlUrl=\"http://one.example/\" /></body></opml>";
    ASSERT_EQ(Run({"backup", "import", climbing_backup.string()}).exit_code, 0);
    ASSERT_EQ(Run({"subscription", "add", climbing_list.string()}).exit_code, 0);
    EXPECT_EQ(Sql("Select count(*) From Views Where Label = 'Kept'"), "2");
    EXPECT_EQ(device_.ReadFile("Windows/iexplore.exe"), placeholder);
    EXPECT_TRUE(std::filesystem::is_empty(device_.HostPath("Temp")));

    // A backup is never written over the live database or the device's registry.
    for (const std::string& target : {std::string("\\Program Files\\QUILLFEED\\quillfeed.cdb"),
                                      DatabaseFile(), (qf::device::StateDir() / "registry.db").string()}) {
        EXPECT_TRUE(test::FailedWith(Run({"backup", "export", target}), 1, "refusing")) << target;
    }
    EXPECT_EQ(Sql("PRAGMA integrity_check"), "ok");
    // The plug-in is a copy in the device, not a link out of it.
    EXPECT_FALSE(std::filesystem::is_symlink(device_.HostPath("Program Files/Quillfeed/QuillfeedToday.dll")));
}

TEST_F(CliDb, ADamagedRegistryIsReportedAndNothingIsOverwritten) {
    ASSERT_EQ(Run({"view", "add", "Mine"}).exit_code, 0);
    std::ofstream(qf::device::StateDir() / "registry.db", std::ios::trunc) << std::string(4096, 'x');
    for (const std::vector<std::string>& args : {std::vector<std::string>{"init"},
                                                 {"views"},
                                                 {"db", "create", "--yes"},
                                                 {"settings", "get", "General", "Database"}}) {
        EXPECT_TRUE(test::FailedWith(Run(args), 1, "registry file")) << args[0];
    }
    EXPECT_EQ(Sql("Select count(*) From Views Where Label = 'Mine'"), "1");
}

// The file's contents are the database tests' matter; here the commands around it.
TEST_F(CliDb, BackupMovesTheConfigurationToAnotherDatabase) {
    RunJson({"view", "add", "Tech \u00e9 <b>"});
    std::filesystem::path backup = device_.HostPath("backup.xml");
    ASSERT_EQ(Run({"backup", "export", backup.string()}).exit_code, 0);
    ASSERT_EQ(Run({"db", "create", "\\My Documents\\second.cdb"}).exit_code, 0);
    ASSERT_EQ(Run({"backup", "import", backup.string()}).exit_code, 0);
    json views = RunJson({"views"});
    ASSERT_EQ(views["views"].size(), 3u);
    EXPECT_EQ(views["views"][1]["label"], "Tech \u00e9 <b>");

    std::ofstream(device_.HostPath("old.xml"))
        << "<qfbk version=\"1.0\"><views><view id=\"9\" label=\"x\" /></views></qfbk>";
    EXPECT_TRUE(test::FailedWith(Run({"backup", "import", "\\old.xml"}), 1, "not a version 2.0 backup"));
}

TEST_F(CliDb, SubscriptionsFromAFileBringTheirFeeds) {
    std::filesystem::path list = device_.HostPath("list.opml");
    std::ofstream(list) << "<opml><head><title>Reading list</title></head><body>"
                           "<outline title=\"One\" xmlUrl=\"http://one.example/rss\" />"
                           "<outline text=\"Two\" xmlUrl=\"http://two.example/rss\" />"
                           "<outline title=\"No address\" /></body></opml>";
    json added = RunJson({"subscription", "add", list.string()});
    EXPECT_EQ(json::array({added["feedsAdded"], added["subscription"]["title"]}),
              json::array({2, "Reading list"}));
    int view_id = added["subscription"]["viewId"];
    EXPECT_EQ(Sql("Select group_concat(Title||'='||FeedUrl, ' ') From Feeds"),
              "One=http://one.example/rss Two=http://two.example/rss");
    EXPECT_EQ(Sql("Select count(*) From ViewFeeds Where ViewID = " + std::to_string(view_id)), "2");
    ASSERT_EQ(Run({"subscription", "delete", std::to_string(int(added["subscription"]["id"]))}).exit_code, 0);
    EXPECT_EQ(Sql("Select count(*) From Feeds") + Sql("Select count(*) From Views"), "02");
}

TEST_F(CliDb, ACommandWaitsForTheLockHeldByAnotherProgram) {
    test::Watchdog watchdog(60s, "the command line waiting for the database lock");
    ASSERT_EQ(Run({"feed", "add", "http://example.com/a", "--title", "A"}).exit_code, 0);
    FeedDatabase database;
    ASSERT_EQ(database.Open(kDatabase, MissingMessage::kHide), OpenResult::kReady);
    std::optional<DatabaseLock> lock(std::in_place, database);
    ASSERT_TRUE(lock->held());
    test::ProgramResult waiting;
    std::thread command([&] { waiting = Run({"--json", "view", "add", "Waited"}); });
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(Sql("Select count(*) From Views Where Label = 'Waited'"), "0") << "the command must still wait";
    lock.reset();
    command.join();
    EXPECT_EQ(waiting.exit_code, 0) << waiting.err;
    EXPECT_EQ(Sql("Select count(*) From Views Where Label = 'Waited'"), "1");
}

TEST_F(CliDb, CompactKeepsTheRows) {
    json feed = RunJson({"feed", "add", "http://example.com/a", "--title", "A"});
    for (int i = 1; i <= 30; ++i) AddItem(i, feed["feed"]["id"], "item");
    Sql("Delete From FeedItems Where FeedItemID > 10");
    EXPECT_EQ(RunJson({"db", "compact"})["ok"], true);
    EXPECT_EQ(Sql("Select count(*) From FeedItems"), "10");
    EXPECT_EQ(RunJson({"db", "check"})["integrity"], json::array({"ok"}));
    EXPECT_FALSE(std::filesystem::exists(device_.HostPath("Program Files/Quillfeed/rss1029102Temp.qfdb")));
}

}  // namespace
}  // namespace qf
