// Runs the real `quillfeed opml import|export` between throw-away devices.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "support/device_test.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace qf {
namespace {

using nlohmann::json;

const std::string kDemoList = std::string(QF_SOURCE_DIR) + "/resources/demo/subscriptions.opml";

class CliOpml : public ::testing::Test {
  protected:
    test::ProgramResult Run(const std::string& device, std::vector<std::string> args) {
        args.insert(args.begin(),
                    {test::BuiltProgram("quillfeed"), "--device", (folder_.root() / device).string()});
        return test::RunProgram(args);
    }
    json RunJson(const std::string& device, std::vector<std::string> args) {
        args.insert(args.begin(), "--json");
        test::ProgramResult result = Run(device, args);
        EXPECT_EQ(result.exit_code, 0) << result.err;
        return json::parse(result.out.empty() ? "{}" : result.out);
    }
    // Each feed's address, title and site.
    std::set<std::string> Feeds(const std::string& device) {
        std::set<std::string> feeds;
        json listed = RunJson(device, {"feeds"});
        for (const json& feed : listed["feeds"]) {
            feeds.insert(feed["url"].get<std::string>() + "|" + feed["title"].get<std::string>() + "|" +
                         feed["link"].get<std::string>());
        }
        return feeds;
    }

    test::TempDevice folder_;
};

TEST_F(CliOpml, ExportedListGivesAFreshDeviceTheSameFeeds) {
    for (const char* device : {"a", "b"}) ASSERT_EQ(Run(device, {"init"}).exit_code, 0);
    EXPECT_EQ(RunJson("a", {"opml", "import", kDemoList})["added"].size(), 6u);

    // Importing again adds nothing, but joins the existing feeds to the view given.
    std::int32_t view = RunJson("a", {"view", "add", "Reading"})["view"]["id"];
    json again = RunJson("a", {"opml", "import", kDemoList, "--view", std::to_string(view)});
    EXPECT_EQ(std::pair(again["added"].size(), again["existing"].size()), std::pair(size_t{0}, size_t{6}));
    json views = RunJson("a", {"views"});
    const json* listed = test::Find(views["views"], {{"id", view}});
    EXPECT_EQ(listed ? (*listed)["feeds"].size() : 0, 6u);

    std::string exported = (folder_.root() / "exported.opml").string();
    RunJson("a", {"opml", "export", exported});
    RunJson("b", {"opml", "import", exported});
    EXPECT_EQ(Feeds("b"), Feeds("a"));
    EXPECT_EQ(Feeds("a").size(), 6u);
}

TEST_F(CliOpml, AnythingButAListIsAOneLineError) {
    ASSERT_EQ(Run("a", {"init"}).exit_code, 0);
    for (const std::string& file : {std::string(QF_SOURCE_DIR) + "/resources/demo/feeds/dawn-chorus.xml",
                                    (folder_.root() / "missing.opml").string()}) {
        EXPECT_TRUE(test::FailedWith(Run("a", {"opml", "import", file}), 1, "", test::ErrorLines::kOne))
            << file;
    }
    EXPECT_TRUE(Feeds("a").empty());
}

}  // namespace
}  // namespace qf
