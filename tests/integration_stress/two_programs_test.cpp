// Two programs on one device for a while: the Today screen's item reloading its feeds from a loopback
// server while the command line adds and deletes views, feeds and subscriptions, imports lists, marks
// items, refreshes, backs up and compacts; either side is killed (SIGKILL) at random points and started
// again. Afterwards the database passes its integrity check, every row a command reported as added is
// there unless a later command deleted it, and no id is used twice.
// QF_STRESS_SECONDS sets the span of the mixed work (default 60); QF_STRESS_SEED replays a run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <set>
#include <thread>

#include "support/background_program.h"
#include "support/device_test.h"
#include "support/feed_server.h"
#include "support/watchdog.h"

namespace qf {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

constexpr int kFeeds = 6;
constexpr auto kCommandLimit = 120s;  // a program still running after this has hung

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::stoull(text) : fallback;
}

std::string OpmlText(const std::vector<std::string>& urls) {
    std::string text = "<opml version=\"1.1\"><head><title>List</title></head><body>";
    for (const std::string& url : urls)
        text += "<outline type=\"rss\" text=\"" + url + "\" title=\"" + url + "\" xmlUrl=\"" + url + "\"/>";
    return text + "</body></opml>";
}

// How a run of a program ended.
struct Ended {
    enum class How { kExited, kKilled, kCrashed, kHung } how = How::kExited;
    int code = 0;  // the exit code, or the signal
    std::string out, err;
};

// Runs `argv` to its end; with `kill_after`, sends SIGKILL once that much time has passed.
Ended RunKillable(const std::vector<std::string>& argv, std::optional<std::chrono::milliseconds> kill_after,
                  const std::filesystem::path& output_prefix) {
    test::BackgroundProgram program(argv, {}, output_prefix);
    std::optional<int> status;
    if (kill_after) {
        status = program.WaitFor(*kill_after);
        if (!status) program.Signal(SIGKILL);
    }
    if (!status) status = program.WaitFor(kCommandLimit);
    Ended ended{Ended::How::kHung, 0, program.Output(), program.Errors()};
    if (!status) return ended;  // the program is killed with the object
    if (WIFEXITED(*status)) {
        ended.how = Ended::How::kExited;
        ended.code = WEXITSTATUS(*status);
    } else {
        ended.code = WTERMSIG(*status);
        ended.how = kill_after && ended.code == SIGKILL ? Ended::How::kKilled : Ended::How::kCrashed;
    }
    return ended;
}

class TwoPrograms : public test::DeviceTest {
  protected:
    void SetUp() override {
        files_ = device_.HostPath("stress");
        std::filesystem::create_directories(files_);
        for (int feed = 0; feed < kFeeds; ++feed) {
            feed_items_[feed] = 3;
            server_.Serve("/f" + std::to_string(feed) + ".xml",
                          test::StoryFeed("Feed" + std::to_string(feed), 3));
        }
        ASSERT_EQ(Cli({"init"}).code, 0);
        shown_view_ = json::parse(Cli({"view", "add", "Shown"}).out)["view"]["id"].get<int>();
        views_.insert(shown_view_);
        for (int feed = 0; feed < kFeeds; ++feed) AddFeed(shown_view_);
        ASSERT_EQ(
            Cli({"settings", "set", "Today", "CurrentViewID", std::to_string(shown_view_), "--dword"}).code,
            0);
    }

    // The command line with --json; killed after `kill_after` when given.
    Ended Cli(std::vector<std::string> args, std::optional<std::chrono::milliseconds> kill_after = {}) {
        args.insert(args.begin(), {test::BuiltProgram("quillfeed"), "--device", root(), "--json"});
        return RunKillable(args, kill_after,
                           files_ / ("cli-" + std::to_string(std::this_thread::get_id() == main_ ? 0 : 1)));
    }

    int Pick(int count) { return static_cast<int>(rng_() % count); }
    template <typename Set>
    std::optional<int> PickFrom(const Set& ids) {
        if (ids.empty()) return std::nullopt;
        return *std::next(ids.begin(), Pick(static_cast<int>(ids.size())));
    }
    std::string NextUrl(int feed) {
        return server_.Url("/f" + std::to_string(feed) + ".xml") + "?n=" + std::to_string(++serial_);
    }

    // A command of the mixed work failed in a way no user should see.
    void Fault(const std::string& what, const Ended& ended) {
        const char* hows[] = {"exited with", "was killed by", "crashed with signal", "hung; code"};
        ADD_FAILURE() << what << " " << hows[static_cast<int>(ended.how)] << " " << ended.code << ": "
                      << ended.err << " (replay with QF_STRESS_SEED=" << seed_ << ")";
    }
    // The command's JSON answer when it ran to a successful end; a fault when it did not end at all.
    std::optional<json> Answer(const std::string& what, const Ended& ended) {
        if (ended.how == Ended::How::kCrashed || ended.how == Ended::How::kHung) Fault(what, ended);
        if (ended.how != Ended::How::kExited || ended.code != 0) return std::nullopt;
        return json::parse(ended.out);
    }

    void AddFeed(std::optional<int> view, std::optional<std::chrono::milliseconds> kill = {}) {
        std::vector<std::string> args = {"feed", "add", NextUrl(Pick(kFeeds))};
        if (view) args.insert(args.end(), {"--view", std::to_string(*view)});
        if (auto answer = Answer("feed add", Cli(args, kill)))
            feeds_.insert((*answer)["feed"]["id"].get<int>());
    }
    // Deletes a row of `ids`; it counts as gone unless the command refused. Answers the row.
    std::optional<int> Delete(std::set<int>& ids, const std::string& noun,
                              std::optional<std::chrono::milliseconds> kill) {
        std::optional<int> id = PickFrom(ids);
        if (!id) return std::nullopt;
        Ended ended = Cli({noun, "delete", std::to_string(*id)}, kill);
        Answer(noun + " delete", ended);
        if (ended.how == Ended::How::kExited && ended.code != 0) return std::nullopt;
        ids.erase(*id);
        return id;
    }

    void OneStepOfWork();
    void EmulatorLoop(std::uint64_t seed);
    void CheckTheDatabase();

    test::FeedServer server_;
    std::filesystem::path files_;
    std::thread::id main_ = std::this_thread::get_id();
    std::uint64_t seed_ = EnvNumber("QF_STRESS_SEED", std::random_device{}());
    std::mt19937_64 rng_{seed_};
    std::atomic<bool> stop_{false};
    std::map<int, int> feed_items_;
    int serial_ = 0;
    int shown_view_ = 0;
    int imports_ = 0;
    std::set<int> views_, feeds_, subscriptions_;
    std::map<int, int> subscription_views_;  // subscription -> its own view
};

// One command of the command line's share, killed at a random point now and then.
void TwoPrograms::OneStepOfWork() {
    std::optional<std::chrono::milliseconds> kill;
    if (Pick(6) == 0) kill = std::chrono::milliseconds(Pick(300));
    std::optional<int> view = Pick(2) == 0 ? PickFrom(views_) : std::nullopt;
    std::string file = (files_ / ("list-" + std::to_string(++serial_) + ".opml")).string();
    switch (Pick(12)) {
        case 0:
            if (auto answer = Answer("view add", Cli({"view", "add", "V" + std::to_string(serial_)}, kill)))
                views_.insert((*answer)["view"]["id"].get<int>());
            break;
        case 1:
            if (views_.size() > 2) {
                views_.erase(shown_view_);  // the item's own view stays
                Delete(views_, "view", kill);
                views_.insert(shown_view_);
            }
            break;
        case 2:
            AddFeed(view, kill);
            break;
        case 3:
            if (feeds_.size() > kFeeds) Delete(feeds_, "feed", kill);
            break;
        case 4: {
            server_.Serve("/list-" + std::to_string(serial_) + ".opml",
                          OpmlText({NextUrl(Pick(kFeeds)), NextUrl(Pick(kFeeds))}));
            Ended ended =
                Cli({"subscription", "add", server_.Url("/list-" + std::to_string(serial_) + ".opml")}, kill);
            if (auto answer = Answer("subscription add", ended)) {
                int id = (*answer)["subscription"]["id"].get<int>();
                subscriptions_.insert(id);
                subscription_views_[id] = (*answer)["subscription"]["viewId"].get<int>();
            }
            break;
        }
        case 5:
            if (auto deleted = Delete(subscriptions_, "subscription", kill))
                subscription_views_.erase(*deleted);
            break;
        case 6: {
            std::ofstream(file) << OpmlText(
                {NextUrl(Pick(kFeeds)), NextUrl(Pick(kFeeds)), NextUrl(Pick(kFeeds))});
            std::vector<std::string> args = {"opml", "import", file};
            if (view) args.insert(args.end(), {"--view", std::to_string(*view)});
            if (auto answer = Answer("opml import", Cli(args, kill))) {
                for (const json& added : (*answer)["added"]) feeds_.insert(added["id"].get<int>());
            }
            break;
        }
        case 7:
            if (auto items = Answer("items", Cli({"items"})); items && !(*items)["items"].empty()) {
                const json& item = (*items)["items"][Pick(static_cast<int>((*items)["items"].size()))];
                Answer("item status",
                       Cli({"item", "status", std::to_string(item["id"].get<int>()), "2"}, kill));
            }
            break;
        case 8:
            Answer("db compact", Cli({"db", "compact"}, kill));
            break;
        case 9: {
            Ended ended = Cli({"refresh"}, kill);
            if (ended.how != Ended::How::kExited) Answer("cancel --force", Cli({"cancel", "--force"}));
            if (ended.how != Ended::How::kExited || ended.code == 0) break;
            // Another program's run going on is no fault.
            if (ended.err.find("in progress") == std::string::npos) Fault("refresh", ended);
            break;
        }
        case 10: {
            Ended exported = Cli({"backup", "export", file}, kill);
            if (Answer("backup export", exported) && imports_ < 2 && Pick(4) == 0) {
                ++imports_;
                Answer("backup import", Cli({"backup", "import", file, "--yes"}, kill));
            }
            break;
        }
        default: {
            int feed = Pick(kFeeds);
            server_.Serve("/f" + std::to_string(feed) + ".xml",
                          test::StoryFeed("Feed" + std::to_string(feed), ++feed_items_[feed]));
            break;
        }
    }
}

// The item's share: the Today screen reloading its feeds, killed at a random point every other run.
void TwoPrograms::EmulatorLoop(std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::filesystem::path script = files_ / "today.txt";
    while (!stop_) {
        std::ofstream out(script);
        out << "advance 2s\n";
        for (int round = 1 + static_cast<int>(rng() % 4); round > 0; --round)
            out << "tap 5 31\nmenu Reload Feed Data\nsettle 60s\nadvance 1s\nkey down\nadvance 3s\n";
        out.close();
        std::optional<std::chrono::milliseconds> kill;
        if (rng() % 2 == 0) kill = std::chrono::milliseconds(200 + rng() % 4000);
        Ended ended = RunKillable(
            {test::BuiltProgram("quillfeed-emu"), "today", "--device", root(), "--script", script.string()},
            kill, files_ / "today");
        if (ended.how == Ended::How::kKilled) {
            // A run of the killed item would keep every other run away.
            Answer("cancel --force", Cli({"cancel", "--force"}));
        } else if (ended.how != Ended::How::kExited || ended.code != 0) {
            Fault("quillfeed-emu today", ended);
        }
    }
}

// The database after the work: its integrity, the rows commands reported, no id twice.
void TwoPrograms::CheckTheDatabase() {
    Ended checked = Cli({"db", "check"});
    EXPECT_EQ(checked.code, 0) << checked.out << checked.err;
    auto expect_once = [&](const std::set<int>& reported, const std::string& table, const std::string& id) {
        EXPECT_EQ(Sql("Select " + id + "||' ' From " + table + " Group By " + id + " Having count(*) > 1"),
                  "")
            << table << " has these ids twice";
        for (int row : reported)
            EXPECT_EQ(Sql("Select count(*) From " + table + " Where " + id + " = " + std::to_string(row)),
                      "1")
                << table << " lacks " << row;
    };
    std::set<int> views = views_;  // and the own view of every subscription
    for (auto [subscription, view] : subscription_views_) views.insert(view);
    expect_once(views, "Views", "ViewID");
    expect_once(feeds_, "Feeds", "FeedID");
    expect_once(subscriptions_, "Subscriptions", "SubscriptionID");
    expect_once({}, "FeedItems", "FeedItemID");
    EXPECT_NE(Sql("Select count(*) From FeedItems"), "0");
}

TEST_F(TwoPrograms, MixedWorkWithKillsKeepsEveryRowOnce) {
    std::uint64_t seconds = EnvNumber("QF_STRESS_SECONDS", 60);
    std::cout << "seed " << seed_ << " (QF_STRESS_SEED), " << seconds << " s of work (QF_STRESS_SECONDS)\n";
    SCOPED_TRACE("replay with QF_STRESS_SEED=" + std::to_string(seed_));
    test::Watchdog watchdog(std::chrono::seconds(seconds) + 10min,
                            "the two-program run of seed " + std::to_string(seed_));
    std::thread emulator([this, seed = rng_()] { EmulatorLoop(seed); });
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int steps = 0;
    for (; std::chrono::steady_clock::now() < end; ++steps) OneStepOfWork();
    stop_ = true;
    emulator.join();
    std::cout << steps << " commands\n";

    // The device is still usable: a download run and a compaction go through.
    Answer("cancel --force", Cli({"cancel", "--force"}));
    Ended refreshed = Cli({"refresh"});
    EXPECT_EQ(refreshed.code, 0) << refreshed.err;
    Ended compacted = Cli({"db", "compact"});
    EXPECT_EQ(compacted.code, 0) << compacted.err;
    CheckTheDatabase();
}

}  // namespace
}  // namespace qf
