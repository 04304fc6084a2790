// The real `quillfeed refresh`, `cancel`, `device network` and `subscription add URL` on a throw-away
// device, against a loopback server in the test process; and refreshes killed at random moments.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <thread>

#include "download/feed_update.h"
#include "qfdevice/device.h"
#include "support/background_program.h"
#include "support/device_test.h"
#include "support/feed_server.h"
#include "support/watchdog.h"
#include "win/strings.h"

namespace qf::test {
namespace {

using nlohmann::json;

class RefreshCommand : public DeviceTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(Run({"init"}).exit_code, 0);
        view_ = std::to_string(RunJson({"view", "add", "News"})["view"]["id"].get<long long>());
    }
    ProgramResult Run(std::vector<std::string> args) { return Quillfeed(std::move(args)); }
    json RunJson(std::vector<std::string> args) { return QuillfeedJson(std::move(args)); }
    void AddFeed(const std::string& path, const std::string& title) {
        ASSERT_EQ(Run({"feed", "add", server_.Url(path), "--title", title, "--view", view_}).exit_code, 0);
    }

    FeedServer server_;
    std::string view_;
};

TEST_F(RefreshCommand, StoresFeedsReportsFailuresAndThenFindsThemUnchanged) {
    server_.Serve("/a.xml", StoryFeed("Alpha", 3));
    server_.Serve("/b.xml", StoryFeed("Beta", 2));
    server_.Serve("/html", "<html><body>hello</body></html>");
    AddFeed("/a.xml", "A");
    AddFeed("/b.xml", "B");
    AddFeed("/missing.xml", "Missing");
    AddFeed("/html", "Page");
    json first = RunJson({"refresh"});
    EXPECT_EQ(Pick(first, {"/result", "/newItems"}), "[0,5]");
    std::map<std::string, std::string> outcome;
    for (const json& feed : first["feeds"])
        outcome[feed["title"]] = feed["outcome"].get<std::string>() + " " + feed.value("reason", "");
    EXPECT_EQ(outcome["A"] + "|" + outcome["Missing"] + "|" + outcome["Page"],
              "new items |failed not a known feed format (HTTP 404)|failed not a known feed format");
    json listing = RunJson({"listing", view_});
    EXPECT_NE(listing.dump().find("Alpha story 0"), std::string::npos);

    ProgramResult second = Run({"refresh"});
    EXPECT_EQ(second.exit_code, 0) << second.err;
    EXPECT_NE(second.out.find("0 new items, 2 unchanged, 2 failed"), std::string::npos) << second.out;
    EXPECT_EQ(Sql("select count(*) from FeedItems"), "5");
    json only = RunJson({"refresh", "--feed", std::to_string(first["feeds"][0]["id"].get<long long>())});
    EXPECT_EQ(only["feeds"].size(), 1u);
}

// `quillfeed status` after two runs in which one feed worked and one failed, with a download time set.
TEST_F(RefreshCommand, StatusShowsCountsLastResultsFailuresAndTheNextDownload) {
    server_.Serve("/a.xml", StoryFeed("Alpha", 3));
    server_.Set("/gone.xml", Route::Status(404, "gone"));
    AddFeed("/a.xml", "Alpha");
    AddFeed("/gone.xml", "Gone");
    ASSERT_EQ(Run({"settings", "set", "AutoReload", "Time1", "600", "--dword"}).exit_code, 0);
    env_ = kPinnedClock;
    EXPECT_EQ(Pick(RunJson({"status"}), {"/refresh/last", "/feeds/0/lastResult"}), "[null,null]");
    for (int run = 0; run < 2; ++run) ASSERT_EQ(Run({"refresh"}).exit_code, 0);

    json status = RunJson({"status"});
    std::map<std::string, json> views, feeds;
    for (const json& view : status["views"]) views[view["label"]] = view;
    for (const json& feed : status["feeds"]) feeds[feed["title"]] = feed;
    EXPECT_EQ(views["News"]["items"], 3);
    EXPECT_FALSE(feeds["Alpha"]["lastDownload"].get<std::string>().empty());
    EXPECT_EQ(Pick(feeds["Alpha"], {"/items", "/lastResult", "/failures"}) +
                  Pick(feeds["Gone"], {"/lastResult", "/detail", "/failures", "/lastAttempt"}) +
                  Pick(status, {"/refresh", "/schedule/next"}),
              R"x([3,"unchanged",0]["failed","not XML (HTTP 404)",2,"2024-05-03 09:00"])x"
              R"([{"download":"idle","last":"2024-05-03 09:00"},)"
              R"({"at":"2024-05-03 09:59","minutesAhead":59,"reason":"time of day"}])");

    std::string text = Run({"status"}).out;
    EXPECT_NE(text.find("2 failures in a row"), std::string::npos) << text;
    EXPECT_NE(text.find("Next scheduled download: 2024-05-03 09:59 (time of day)"), std::string::npos)
        << text;
}

TEST_F(RefreshCommand, RefusalsAndTheDeviceNetwork) {
    AddFeed("/a.xml", "A");
    EXPECT_EQ(RunJson({"device", "network", "down"})["link"], "down");
    EXPECT_TRUE(FailedWith(Run({"refresh"}), kNonZero, "Could not establish an Internet connection."));
    EXPECT_EQ(Pick(RunJson({"device", "network", "slow", "3", "--proxy", "cache:3128"}),
                   {"/connectDelayMs", "/proxy"}),
              R"([3000,"cache:3128"])");
    EXPECT_EQ(RunJson({"device", "network", "drop-after", "2"})["dropAfterRequests"], 2);
    EXPECT_NE(Run({"device", "network", "sideways"}).exit_code, 0);
    EXPECT_NE(Run({"refresh", "--audio"}).err.find("No Audio Content available"), std::string::npos);
}

TEST_F(RefreshCommand, CancelFromAnotherProcessStopsASlowRun) {
    Watchdog watchdog(std::chrono::seconds(60), "a cancelled refresh");
    server_.Set("/slow.xml", Route::Trickle(StoryFeed("Slow", 400, 100), std::chrono::milliseconds(20)));
    server_.Serve("/b.xml", StoryFeed("Beta", 2));
    AddFeed("/slow.xml", "A slow one");
    AddFeed("/b.xml", "B");
    ProgramResult refresh;
    auto started = std::chrono::steady_clock::now();
    std::thread runner([&] { refresh = Run({"--json", "refresh"}); });
    while (server_.Hits("/slow.xml") == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    json cancel = RunJson({"cancel"});
    EXPECT_EQ(cancel["after"], 2);
    runner.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(Pick(json::parse(refresh.out), {"/resultText", "/feeds/1/outcome"}),
              R"(["cancelled","not fetched"])");
    EXPECT_EQ(server_.Hits("/b.xml"), 0);
    EXPECT_EQ(RunJson({"cancel"})["message"], "no download is running");
}

TEST_F(RefreshCommand, SubscriptionListFetchedFromTheNetwork) {
    server_.Serve("/list.opml",
                  "<opml version=\"1.0\"><head><title>Picks</title></head><body>"
                  "<outline text=\"One\" xmlUrl=\"http://example.com/1.xml\"/>"
                  "<outline text=\"Two\" xmlUrl=\"http://example.com/2.xml\"/></body></opml>");
    EXPECT_EQ(RunJson({"subscription", "add", server_.Url("/list.opml")})["feedsAdded"], 2);
    EXPECT_EQ(Sql("select count(*) from Feeds"), "2");
    EXPECT_NE(Run({"subscription", "add", server_.Url("/gone.opml")}).exit_code, 0);
}

// Runs `quillfeed refresh` and kills it after `delay`; answers whether it was still running then.
bool KillRefreshAfter(const TempDevice& device, std::chrono::milliseconds delay) {
    BackgroundProgram refresh({BuiltProgram("quillfeed"), "--device", device.root().string(), "refresh"}, {},
                              device.HostPath("killed"));
    std::this_thread::sleep_for(delay);
    refresh.Signal(SIGKILL);
    std::optional<int> status = refresh.WaitFor(std::chrono::seconds(30));
    return status && WIFSIGNALED(*status);
}

TEST_F(RefreshCommand, KilledRunsLeaveEveryFeedWholeBeforeOrAfter) {
    constexpr int kFeeds = 6;
    std::mt19937 random(20240503);
    std::map<std::string, int> version_of_digest;  // the digest of each version's file
    for (int f = 0; f < kFeeds; ++f) AddFeed("/f" + std::to_string(f) + ".xml", "F" + std::to_string(f));
    int killed = 0;
    std::chrono::milliseconds whole_run{0};
    for (int round = -1; round < 20; ++round) {
        for (int f = 0; f < kFeeds; ++f) {
            std::string text =
                StoryFeed("v" + std::to_string(round + 1) + "f" + std::to_string(f), 120, 1500);
            server_.Serve("/f" + std::to_string(f) + ".xml", text);
            std::ofstream(device_.HostPath("digest.xml"), std::ios::binary) << text;
            version_of_digest[WideToUtf8(FileDigest(u"\\digest.xml"))] = round + 1;
        }
        if (round < 0) {
            // An undisturbed run first: the kills fall within its length.
            auto start = std::chrono::steady_clock::now();
            ASSERT_EQ(Run({"refresh"}).exit_code, 0);
            whole_run = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            continue;
        }
        // Kill points fall in the first two thirds of the undisturbed run, so that a later run that is
        // faster than it (a quieter machine) is still mostly cut short.
        killed += KillRefreshAfter(device_, whole_run * (5 + random() % 60) / 100);
        ASSERT_EQ(Run({"cancel", "--force"}).exit_code, 0);

        EXPECT_EQ(Sql("pragma integrity_check"), "ok");
        for (int f = 0; f < kFeeds; ++f) {
            std::string id = Sql("select FeedID from Feeds where Title like 'v%f" + std::to_string(f) +
                                 "' or Title = 'F" + std::to_string(f) + "'");
            std::string digest = Sql("select LastDigestKey from Feeds where FeedID = " + id);
            std::string items =
                Sql("select count(*) || ' ' || count(distinct substr(GUID, 1, instr(GUID, 'f'))) "
                    "from FeedItems where FeedID = " +
                    id);
            if (digest.empty()) {
                EXPECT_EQ(items, "0 0") << "feed " << f << " round " << round;
                continue;
            }
            ASSERT_TRUE(version_of_digest.count(digest)) << digest;
            std::string version = "v" + std::to_string(version_of_digest[digest]) + "f";
            EXPECT_EQ(items, "50 1") << "feed " << f << " round " << round;
            EXPECT_EQ(Sql("select count(*) from FeedItems where FeedID = " + id + " and GUID like '" +
                          version + "%'"),
                      "50");
        }
    }
    EXPECT_GE(killed, 10);
}

}  // namespace
}  // namespace qf::test
