// Runs the real `quillfeed-emu serve` on a throw-away folder and talks HTTP to it.
#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <fstream>
#include <thread>

#include "support/background_program.h"
#include "support/run_program.h"
#include "support/temp_device.h"
#include "support/watchdog.h"

namespace qf {
namespace {

using namespace std::chrono_literals;

class ServeFolder : public ::testing::Test {
  protected:
    ServeFolder() {
        std::filesystem::create_directories(Path("site/feeds"));
        Write("site/feeds/news.xml", "<rss><channel><link>{{ORIGIN}}/feeds/news.xml</link></channel></rss>");
        Write("site/clip.mp3", "{{ORIGIN}} stays as it is in a binary file");
    }

    std::filesystem::path Path(const std::string& name) const { return folder_.HostPath(name); }
    void Write(const std::string& name, const std::string& text) const { std::ofstream(Path(name)) << text; }

    // Starts the server with `extra` arguments and waits for its port.
    int Start(std::vector<std::string> extra) {
        std::vector<std::string> args = {test::BuiltProgram("quillfeed-emu"), "serve", "--port-file",
                                         Path("port").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        server_.emplace(args, std::vector<std::string>{}, Path("server"));
        int port = 0;
        while (port == 0) {
            std::this_thread::sleep_for(10ms);
            std::ifstream(Path("port")) >> port;
        }
        return port;
    }

    test::TempDevice folder_;
    std::optional<test::BackgroundProgram> server_;
};

TEST_F(ServeFolder, FilesRulesAndACleanStop) {
    test::Watchdog watchdog(60s, "quillfeed-emu serve");
    Write("rules", "/slow.xml delay 3000\n/old.xml redirect /feeds/news.xml status 301\n");
    int port =
        Start({Path("site").string(), "--rules", Path("rules").string(), "--rule", "/gone.xml status 410"});
    httplib::Client client("127.0.0.1", port);

    auto news = client.Get("/feeds/news.xml");
    ASSERT_TRUE(news);
    EXPECT_EQ(std::to_string(news->status) + " " + news->get_header_value("Content-Type") + " " + news->body,
              "200 text/xml; charset=utf-8 <rss><channel><link>http://127.0.0.1:" + std::to_string(port) +
                  "/feeds/news.xml</link></channel></rss>");
    EXPECT_EQ(client.Get("/clip.mp3")->body.rfind("{{ORIGIN}}", 0), 0u);

    auto moved = client.Get("/old.xml");
    EXPECT_EQ(std::to_string(moved->status) + " " + moved->get_header_value("Location"),
              "301 /feeds/news.xml");
    // Status of a rule, of no file, and of a path that climbs out of the folder.
    EXPECT_EQ(std::vector({client.Get("/gone.xml")->status, client.Get("/missing.xml")->status,
                           client.Get("/feeds/%2e%2e/%2e%2e/port")->status}),
              std::vector({410, 404, 404}));

    httplib::Client impatient("127.0.0.1", port);
    impatient.set_read_timeout(0, 200'000);
    EXPECT_FALSE(impatient.Get("/slow.xml"));  // still waiting out its delay

    // The rules file is read again for each request.
    Write("rules", "/feeds/news.xml status 503\n");
    EXPECT_EQ(client.Get("/feeds/news.xml")->status, 503);

    server_->Signal(SIGTERM);
    EXPECT_EQ(server_->Finish(), 0) << server_->Errors();
    EXPECT_NE(server_->Errors().find("GET /gone.xml 410\n"), std::string::npos);
}

TEST_F(ServeFolder, WithoutAFolderTheSampleFeeds) {
    test::Watchdog watchdog(60s, "quillfeed-emu serve");
    int port = Start({});
    auto list = httplib::Client("127.0.0.1", port).Get("/subscriptions.opml");
    ASSERT_TRUE(list);
    EXPECT_NE(
        list->body.find("xmlUrl=\"http://127.0.0.1:" + std::to_string(port) + "/feeds/dawn-chorus.xml\""),
        std::string::npos);
}

TEST_F(ServeFolder, ProblemsAreOneLineAndNonZero) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"missing-folder"}, {"site", "--rule", "/a.xml status 99"}}) {
        std::vector<std::string> argv = {test::BuiltProgram("quillfeed-emu"), "serve",
                                         Path(args[0]).string()};
        argv.insert(argv.end(), args.begin() + 1, args.end());
        EXPECT_TRUE(test::FailedWith(test::RunProgram(argv), 1, "", test::ErrorLines::kOne)) << args[0];
    }
}

}  // namespace
}  // namespace qf
