// Runs the real `quillfeed parse` and `quillfeed date` on files written by the test.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "support/device_test.h"

namespace qf {
namespace {

class ParseCommand : public test::DeviceTest {
  protected:
    // A host file in the device's folder, which goes away with it.
    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(device_.HostPath(name), std::ios::binary) << bytes;
        return Host(name);
    }
    nlohmann::json ParseJson(const std::string& file) { return QuillfeedJson({"parse", file}); }
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

    test::ProgramResult text = Quillfeed({"parse", file});
    ASSERT_EQ(text.exit_code, 0) << text.err;
    EXPECT_NE(text.out.find("RSS v2.0"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("1. One &amp;amp; two"), std::string::npos) << text.out;
}

// ANSI files read through the ANSI page; what JSON must escape comes back unchanged.
TEST_F(ParseCommand, TitlesKeepEveryCharacter) {
    const std::string title = "a \"q\" \\ \t\x01 \xE2\x82\xAC\r\nz";
    const nlohmann::json ansi = ParseJson(
        Write("ansi.xml", "<rss version=\"0.91\"><channel><title>Caf\xE9 \x80</title></channel></rss>"));
    EXPECT_EQ(ansi["title"], "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(ansi["formatName"], "RSS v0.91");
    EXPECT_EQ(ParseJson(Write("q.xml", "<rss version=\"2.0\"><channel><title>t</title><item><title>" + title +
                                           "</title></item></channel></rss>"))["items"][0]["title"],
              title);
}

// Each refusal is one line naming the file, exit code 1.
TEST_F(ParseCommand, FailuresAreOneLineAndExitOne) {
    const std::string feed = Write("feed.xml", kRss);
    const std::string size = std::to_string(std::string(kRss).size());
    const std::vector<std::pair<std::vector<std::string>, std::string>> kCases = {
        {{Write("page.html", "<html><body>x</body></html>")}, ": not an RSS, Atom or OPML feed"},
        {{Write("empty.xml", "")}, ": no XML elements could be read"},
        {{root() + "/missing.xml"}, "cannot read "},
        {{root()}, ": not a regular file"},
        {{feed, "--max-size", "100"}, ": " + size + " bytes, over the limit of 100 (--max-size)"},
    };
    for (const auto& [args, reason] : kCases) {
        std::vector<std::string> command = {"--json", "parse"};
        command.insert(command.end(), args.begin(), args.end());
        test::ProgramResult result = Quillfeed(command);
        EXPECT_TRUE(test::FailedWith(result, 1, reason, test::ErrorLines::kOne));
        EXPECT_NE(result.err.find(args[0]), std::string::npos) << result.err;
        EXPECT_EQ(nlohmann::json::parse(result.out)["ok"], false);
    }
    EXPECT_EQ(Quillfeed({"parse", feed, "--max-size", size}).exit_code, 0);
}

TEST_F(ParseCommand, CustomMappingsComeFromTheDeviceSettings) {
    const std::string file = Write("feed.xml", kRss);
    EXPECT_EQ(ParseJson(file)["items"][0]["title"], "One &amp;amp; two");
    ASSERT_EQ(Quillfeed({"init"}).exit_code, 0);
    ASSERT_EQ(Quillfeed({"settings", "set", "RSSMap\\Map5", "Title", "HEADLINE", "--string"}).exit_code, 0);
    ASSERT_EQ(Quillfeed({"settings", "set", "RSSMap\\Map5", "Date", "dc:date", "--string"}).exit_code, 0);
    const nlohmann::json feed = ParseJson(file);
    EXPECT_EQ(feed["items"][0]["title"], "Custom");
    EXPECT_EQ(feed["items"][0]["date"], "2006-01-01");
}

// A date text the parser cannot read gives the current local time.
TEST_F(ParseCommand, UnreadableDateIsTheCurrentTime) {
    env_ = {"QUILLFEED_CLOCK=2010-06-15T12:34:56"};
    const nlohmann::json date = QuillfeedJson({"date", "not a date"});
    EXPECT_EQ(date["date"], "2010-06-15 12:34:56");
    EXPECT_EQ(date["formatGmt"], "2010-06-15 12:34 GMT");
}

TEST_F(ParseCommand, ReadsAtom10OnlyOnADeviceThatTurnedItOn) {
    const std::string file = Write("atom.xml",
                                   "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>A</title>"
                                   "<entry><title>E</title><published>P</published>"
                                   "<summary type=\"html\">&lt;b&gt;z&lt;/b&gt;</summary></entry></feed>");
    EXPECT_EQ(Quillfeed({"parse", file}).exit_code, 1);
    ASSERT_EQ(Quillfeed({"init", "--atom10"}).exit_code, 0);
    const nlohmann::json feed = ParseJson(file);
    EXPECT_EQ(feed["formatCode"], 12);
    EXPECT_EQ(feed["items"][0]["date"], "P");
    EXPECT_EQ(feed["items"][0]["description"], "&lt;b&gt;z&lt;/b&gt;");  // html is text, not markup
}

// The text rules and the date parser as the item applies them.
TEST_F(ParseCommand, TextAndDateCommandsApplyTheItemsRules) {
    const struct {
        std::vector<std::string> args;
        std::string out;
    } kCases[] = {
        {{"text", "decode", "Fish &amp;amp; Chips &#233; &eacute; &EACUTE;"},
         "Fish &amp; Chips \xC3\xA9 \xC3\xA9 &EACUTE;\n"},
        {{"text", "clean", "&lt;![CDATA[ <b>Hi</b> ]]&gt; x"}, "<b>Hi</b> x\n"},
        {{"text", "clean", "--line", "&amp;lt;p&amp;gt;One&lt;/p&gt;\ttwo"}, "One  two\n"},
        {{"date", "Mon, 02 Jan 2006 10:00:00 EDT"}, "2006-01-02 14:00:00 (2006-01-02 14:00 GMT)\n"},
        {{"date", "2006-01-02T10:00:00-05:00"}, "2006-01-02 15:00:00 (2006-01-02 15:00 GMT)\n"},
    };
    for (const auto& c : kCases) {
        test::ProgramResult result = Quillfeed(c.args);
        EXPECT_EQ(result.exit_code, 0) << result.err;
        EXPECT_EQ(result.out, c.out) << c.args.back();
    }
}

}  // namespace
}  // namespace qf
