// scripts/demo's walk-through against the built tree (no install, no build): every step writes its
// screenshot and dump, the dumps show the sample feeds' headlines in each state, and the server is gone
// when the script has ended.
#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>

#include "support/device_test.h"
#include "support/run_program.h"
#include "support/temp_device.h"
#include "support/watchdog.h"

namespace qf::test {
namespace {

using nlohmann::json;
using namespace std::chrono_literals;

json Dump(const std::filesystem::path& path) {
    std::ifstream in(path);
    return in ? json::parse(in, nullptr, false) : json();
}

TEST(DemoScript, WalkThroughShowsTheSampleFeedsAndStopsItsServer) {
    Watchdog watchdog(240s, "scripts/demo");
    TempDevice scratch;
    std::filesystem::path device = scratch.HostPath("demo");
    ProgramResult run = RunProgram({std::string(QF_SOURCE_DIR) + "/scripts/demo", "--no-build", "--no-window",
                                    "--build-dir", QF_BINARY_DIR, "--device", device.string()});
    ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
    // Every sample feed was subscribed and read, the Atom 1.0 one included.
    for (const char* feed : {"The Harbourside Gazette", "The Allotment Diary", "Open Circuit Notes",
                             "Kettle & Crumb", "Dawn Chorus", "Night Sky Notes"}) {
        std::smatch line;
        EXPECT_TRUE(std::regex_search(run.out, line, std::regex(std::string(feed) + " .*last: new items")))
            << feed << " in\n"
            << run.out;
    }

    std::filesystem::path shots = device / "walk-through";
    for (const char* step : {"1-ticker", "2-menu", "3-list", "4-item", "5-bubble"}) {
        SCOPED_TRACE(step);
        EXPECT_GT(std::filesystem::file_size(shots / (std::string(step) + ".png")), 1000u);
        EXPECT_NE(run.out.find(step + std::string(".png")), std::string::npos);
    }
    // Each step shows what its name says (the states themselves are checked in item_session_test).
    EXPECT_EQ(Dump(shots / "1-ticker.json")["items"][0]["state"]["display_mode"], "ticker");
    EXPECT_EQ(Dump(shots / "2-menu.json")["menu"]["state"], "open");
    std::string headlines = Texts(Dump(shots / "3-list.json")["items"][0], "\n");
    EXPECT_GE(std::count(headlines.begin(), headlines.end(), '\n'), 4) << headlines;
    EXPECT_EQ(Dump(shots / "4-item.json")["items"][0]["state"]["details_shown"], true);
    EXPECT_EQ(Dump(shots / "5-bubble.json")["notifications"][0]["shown"], true);

    std::ifstream port_file(device / "server.port");
    int port = 0;
    port_file >> port;
    ASSERT_GT(port, 0);
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(1s);
    EXPECT_FALSE(client.Get("/subscriptions.opml")) << "the demo's server still answers";
}

}  // namespace
}  // namespace qf::test
