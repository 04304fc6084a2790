// Every file of the shared feed corpus (real-world feeds, two parsers' test suites, hostile synthetic
// files) must parse or fail cleanly, and the texts it yields must survive the cleanup the feed update
// applies to them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "parse/dates.h"
#include "parse/feed_parser.h"
#include "parse/text_cleanup.h"
#include "support/watchdog.h"

namespace qf {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What the feed update does with an item's texts.
void CleanUp(const ParsedItem& item) {
    StripMarkup(DecodeEntities(DecodeEntities(item.title)));
    StripCdata(DecodeEntities(item.description));
    AbsolutizeLinks(item.description, item.link);
    SanitizeFileName(item.title);
    EscapeXml(item.title);
    if (!item.date.empty()) FormatGmt(ParseDate(item.date));
}

void ExpectConsistent(FeedParseStatus status, const ParsedFeed& feed, const std::string& file) {
    if (status == FeedParseStatus::kOk) {
        const int format = static_cast<int>(feed.format);
        EXPECT_TRUE(format >= 1 && format <= 11) << file;
        EXPECT_FALSE(feed.format_name.empty() || feed.title.empty() || feed.source_path.empty()) << file;
    } else {
        EXPECT_EQ(static_cast<int>(feed.format), 0) << file;
        EXPECT_TRUE(feed.title.empty() && feed.items.empty() && feed.source_path.empty()) << file;
    }
}

TEST(Corpus, EveryFileParsesOrFailsCleanly) {
    const fs::path corpus = QF_CORPUS_DIR;
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    std::map<std::string, std::map<int, int>> formats_by_folder;
    int files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = fs::relative(entry.path(), corpus).string();
        test::Watchdog watchdog(std::chrono::seconds(30), "parsing " + name);
        const std::string bytes = ReadBytes(entry.path());
        ParsedFeed feed;
        const FeedParseStatus status = ParseFeedBytes(feed, bytes, u"corpus", NoCustomMapping);
        ExpectConsistent(status, feed, name);
        for (const ParsedItem& item : feed.items) CleanUp(item);
        ParseDate(feed.date);
        ++formats_by_folder[name.substr(0, name.find('/'))][static_cast<int>(feed.format)];
        ++files;
    }
    EXPECT_GT(files, 5000);
    // The real-world feeds are mostly RSS 2.0, RSS 1.0 and Atom 0.3 that must be recognised.
    std::map<int, int>& realworld = formats_by_folder["realworld"];
    EXPECT_TRUE(realworld[7] >= 150 && realworld[4] >= 15 && realworld[11] >= 10)
        << realworld[7] << " RSS 2.0, " << realworld[4] << " RSS 1.0, " << realworld[11] << " Atom 0.3";
}

}  // namespace
}  // namespace qf
