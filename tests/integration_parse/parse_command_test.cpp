// Runs the real `quillfeed parse` and `quillfeed date` on files written by the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "support/run_program.h"
#include "support/temp_device.h"

namespace qf {
namespace {

class ParseCommand : public ::testing::Test {
  protected:
    test::ProgramResult Run(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
        args.insert(args.begin(), {test::BuiltProgram("quillfeed"), "--device", device_.root().string()});
        return test::RunProgram(args, {}, env);
    }
    // A host file in the device's folder, which goes away with it.
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path path = device_.HostPath(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    nlohmann::json ParseJson(const std::string& file) {
        test::ProgramResult result = Run({"parse", file, "--json"});
        EXPECT_EQ(result.exit_code, 0) << result.err;
        return nlohmann::json::parse(result.out);
    }
    test::TempDevice device_;
};

constexpr const char* kRss = R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0" xmlns:dc="http://purl.org/dc/elements/1.1/"><channel>
<title><![CDATA[ Caf)"
                             "\xC3\xA9"
                             R"( &amp; Co ]]></title><link>http://e.com/</link><description>News</description>
<dc:date>2006-01-01T00:00:00Z</dc:date><lastBuildDate>Mon, 02 Jan 2006 10:00:00 GMT</lastBuildDate>
<item><headline>Custom</headline><title>One &amp;amp; two</title><link>http://e.com/1</link>
<dc:date>2006-01-01</dc:date><pubDate>Mon, 02 Jan 2006 09:00:00 EST</pubDate><guid>g1</guid>
<description>Hi <b>there</b></description><description>&lt;p&gt;x&lt;/p&gt;</description>
<enclosure url='http://e.com/1.mp3' length='4096' type='audio/mpeg'/></item>
</channel></rss>)";

TEST_F(ParseCommand, PrintsTheParsedFeedAsJson) {
    const std::string file = Write("feed.xml", kRss);
    const nlohmann::json feed = ParseJson(file);
    const nlohmann::json expected = {{"ok", true},
                                     {"sourcePath", file},
                                     {"formatCode", 7},
                                     {"formatName", "RSS v2.0"},
                                     {"title", "Caf\xC3\xA9 &amp; Co"},
                                     {"link", "http://e.com/"},
                                     {"description", "News"},
                                     {"date", "Mon, 02 Jan 2006 10:00:00 GMT"},
                                     {"items",
                                      {{{"title", "One &amp;amp; two"},
                                        {"description", "&lt;p&gt;x&lt;/p&gt;"},
                                        {"link", "http://e.com/1"},
                                        {"date", "Mon, 02 Jan 2006 09:00:00 EST"},
                                        {"guid", "g1"},
                                        {"enclosureUrl", "http://e.com/1.mp3"},
                                        {"enclosureLength", 4096}}}}};
    EXPECT_EQ(feed, expected);

    test::ProgramResult text = Run({"parse", file});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    EXPECT_NE(text.out.find("RSS v2.0"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("1. One &amp;amp; two"), std::string::npos) << text.out;
}

TEST_F(ParseCommand, ReadsAnsiFilesThroughTheAnsiPage) {
    const nlohmann::json feed = ParseJson(
        Write("ansi.xml", "<rss version=\"0.91\"><channel><title>Caf\xE9 \x80</title></channel></rss>"));
    EXPECT_EQ(feed["title"], "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(feed["formatName"], "RSS v0.91");
}

TEST_F(ParseCommand, FailuresAreOneLineAndExitOne) {
    for (const std::string& file : {Write("page.html", "<html><body>x</body></html>"), Write("empty.xml", ""),
                                    device_.root().string() + "/missing.xml"}) {
        test::ProgramResult result = Run({"parse", file, "--json"});
        EXPECT_EQ(result.exit_code, 1) << file;
        const nlohmann::json error = nlohmann::json::parse(result.out);
        EXPECT_EQ(error["ok"], false);
        EXPECT_NE(error["error"].get<std::string>().find(file), std::string::npos) << result.out;
    }
}

TEST_F(ParseCommand, CustomMappingsComeFromTheDeviceSettings) {
    const std::string file = Write("feed.xml", kRss);
    EXPECT_EQ(ParseJson(file)["items"][0]["title"], "One &amp;amp; two");
    ASSERT_EQ(Run({"init"}).exit_code, 0);
    ASSERT_EQ(Run({"settings", "set", "RSSMap\\Map5", "Title", "HEADLINE", "--string"}).exit_code, 0);
    ASSERT_EQ(Run({"settings", "set", "RSSMap\\Map5", "Date", "dc:date", "--string"}).exit_code, 0);
    const nlohmann::json feed = ParseJson(file);
    EXPECT_EQ(feed["items"][0]["title"], "Custom");
    EXPECT_EQ(feed["items"][0]["date"], "2006-01-01");
}

TEST_F(ParseCommand, DateShowsTheParsedGmtTime) {
    test::ProgramResult text = Run({"date", "Mon, 02 Jan 2006 10:00:00 EDT"});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    EXPECT_EQ(text.out, "2006-01-02 14:00:00 (2006-01-02 14:00 GMT)\n");

    test::ProgramResult fallback =
        Run({"date", "--json", "not a date"}, {"QUILLFEED_CLOCK=2010-06-15T12:34:56"});
    ASSERT_EQ(fallback.exit_code, 0) << fallback.err;
    const nlohmann::json date = nlohmann::json::parse(fallback.out);
    EXPECT_EQ(date["date"], "2010-06-15 12:34:56");
    EXPECT_EQ(date["formatGmt"], "2010-06-15 12:34 GMT");
}

TEST_F(ParseCommand, RefusesFilesOverTheSizeLimitAndWhatIsNotAFile) {
    const std::string file = Write("feed.xml", kRss);
    test::ProgramResult over = Run({"parse", file, "--max-size", "100"});
    EXPECT_EQ(over.exit_code, 1);
    EXPECT_EQ(over.err, "quillfeed: " + file + ": " + std::to_string(std::string(kRss).size()) +
                            " bytes, over the limit of 100 (--max-size)\n");
    EXPECT_EQ(Run({"parse", file, "--max-size", std::to_string(std::string(kRss).size())}).exit_code, 0);
    test::ProgramResult folder = Run({"parse", device_.root().string()});
    EXPECT_EQ(folder.exit_code, 1);
    EXPECT_NE(folder.err.find("not a regular file"), std::string::npos) << folder.err;
}

TEST_F(ParseCommand, JsonOutputEscapesWhatJsonMust) {
    const std::string title = "a \"q\" \\ \t\x01 \xE2\x82\xAC\r\nz";
    const nlohmann::json feed =
        ParseJson(Write("q.xml", "<rss version=\"2.0\"><channel><title>t</title><item><title>" + title +
                                     "</title></item></channel></rss>"));
    EXPECT_EQ(feed["items"][0]["title"], title);
}

TEST_F(ParseCommand, ReadsAtom10OnlyOnADeviceThatTurnedItOn) {
    const std::string file = Write("atom.xml",
                                   "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>A</title>"
                                   "<entry><title>E</title><published>P</published></entry></feed>");
    EXPECT_EQ(Run({"parse", file}).exit_code, 1);
    ASSERT_EQ(Run({"init", "--atom10"}).exit_code, 0);
    const nlohmann::json feed = ParseJson(file);
    EXPECT_EQ(feed["formatCode"], 12);
    EXPECT_EQ(feed["items"][0]["date"], "P");
}

TEST_F(ParseCommand, TextCommandsApplyTheItemsCleanup) {
    const struct {
        std::vector<std::string> args;
        std::string out;
    } kCases[] = {
        {{"text", "decode", "Fish &amp;amp; Chips &#233; &EACUTE;"}, "Fish &amp; Chips \xC3\xA9 &EACUTE;\n"},
        {{"text", "clean", "&lt;![CDATA[ <b>Hi</b> ]]&gt; x"}, "<b>Hi</b> x\n"},
        {{"text", "clean", "--line", "&amp;lt;p&amp;gt;One&lt;/p&gt;\ttwo"}, "One  two\n"},
    };
    for (const auto& c : kCases) {
        test::ProgramResult result = Run(c.args);
        EXPECT_EQ(result.exit_code, 0) << result.err;
        EXPECT_EQ(result.out, c.out) << c.args.back();
    }
}

}  // namespace
}  // namespace qf
