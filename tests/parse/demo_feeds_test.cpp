// The sample feeds under resources/demo stay readable and consistent with each other.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "parse/feed_parser.h"
#include "parse/opml_list.h"
#include "tree_dump.h"

namespace qf {
namespace {

namespace fs = std::filesystem;
using test::Narrow;

const fs::path kDemo = fs::path(QF_SOURCE_DIR) / "resources" / "demo";
constexpr char kOrigin[] = "{{ORIGIN}}/";

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST(DemoFeeds, EveryFeedParsesAndTheListNamesThemAll) {
    std::set<std::string> files;
    int enclosures = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(kDemo / "feeds")) {
        std::string name = entry.path().filename().string();
        files.insert(kOrigin + ("feeds/" + name));
        if (name == "night-sky.xml") continue;  // Atom 1.0: read only when the user turns it on
        ParsedFeed feed;
        ASSERT_EQ(ParseFeedBytes(feed, Bytes(entry.path()), u"demo.xml", NoCustomMapping),
                  FeedParseStatus::kOk)
            << name;
        EXPECT_GE(feed.items.size(), 3u) << name;
        for (const ParsedItem& item : feed.items) {
            EXPECT_FALSE(item.title.empty() || item.link.empty() || item.description.empty()) << name;
            if (item.enclosure_url.empty()) continue;
            // Each enclosure is a file of the demo folder, its length its size.
            std::string url = Narrow(item.enclosure_url);
            ASSERT_EQ(url.rfind(kOrigin, 0), 0u) << url;
            EXPECT_EQ(fs::file_size(kDemo / url.substr(sizeof kOrigin - 1)), item.enclosure_length) << url;
            ++enclosures;
        }
    }
    EXPECT_EQ(enclosures, 3);

    FeedDocument list;
    ASSERT_TRUE(list.LoadBytes(Bytes(kDemo / "subscriptions.opml")));
    std::vector<OpmlFeed> listed;
    ASSERT_EQ(ReadOpmlList(list, listed), OpmlListStatus::kOk);
    std::set<std::string> urls;
    for (const OpmlFeed& feed : listed) urls.insert(Narrow(feed.xml_url));
    EXPECT_EQ(urls, files);
}

}  // namespace
}  // namespace qf
