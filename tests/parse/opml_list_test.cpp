#include "parse/opml_list.h"

#include <gtest/gtest.h>

#include "parse/feed_parser.h"
#include "tree_dump.h"

namespace qf {
namespace {

using test::Narrow;

std::vector<OpmlFeed> Read(const std::string& xml, OpmlListStatus expected = OpmlListStatus::kOk) {
    FeedDocument document;
    document.LoadBytes(xml);
    std::vector<OpmlFeed> feeds(1);  // replaced, not appended to
    EXPECT_EQ(ReadOpmlList(document, feeds), expected) << xml;
    return feeds;
}

std::string Line(const OpmlFeed& feed) {
    return Narrow(feed.title) + "|" + Narrow(feed.xml_url) + "|" + Narrow(feed.html_url) + "|" +
           Narrow(feed.description);
}

TEST(OpmlList, EveryFeedOfNestedFoldersOnceInDocumentOrder) {
    // As another reader writes it: folders with only a text, feeds with text and no title.
    std::vector<OpmlFeed> feeds = Read(R"(<?xml version="1.0"?>
<opml version="1.0"><head><title>Mine</title></head><body>
  <outline text="News">
    <outline text="Tom &amp; Jerry" type="rss" xmlUrl="http://a/tj?x=1&amp;y=2" htmlUrl="http://a/"/>
    <outline text="Deeper"><outline text="Inner" xmlurl="http://a/inner" description="d"></outline></outline>
  </outline>
  <outline title="Own title" text="not this" xmlUrl="http://a/top"/>
  <outline text="Again" xmlUrl="http://a/top"/>
  <outline xmlUrl="http://a/untitled"/>
  <note xmlUrl="http://a/not-an-outline"/>
</body></opml>)");
    std::vector<std::string> lines;
    for (const OpmlFeed& feed : feeds) lines.push_back(Line(feed));
    EXPECT_EQ(lines, (std::vector<std::string>{"Tom & Jerry|http://a/tj?x=1&y=2|http://a/|",
                                               "Inner|http://a/inner||d", "Own title|http://a/top||",
                                               "http://a/untitled|http://a/untitled||"}));
    EXPECT_TRUE(Read("<rss version=\"2.0\"><channel/></rss>", OpmlListStatus::kNotOpml).empty());
}

TEST(OpmlList, WrittenListReadsBackAndSubscribes) {
    const std::vector<OpmlFeed> feeds = {
        {u"Fish & \"chips\" <daily>", u"http://a/f?x=1&y='2'", u"http://a/", u"two\nlines\tand a tab"},
        {u"Caf\u00e9 \u65e5\u672c", u"http://a/cafe", {}, {}},
    };
    std::string text = WriteOpmlList(u"Mine & yours", feeds);
    std::vector<OpmlFeed> read = Read(text);
    ASSERT_EQ(read.size(), feeds.size()) << text;
    for (size_t i = 0; i < feeds.size(); ++i) EXPECT_EQ(Line(read[i]), Line(feeds[i])) << text;

    // The item itself takes the written list as a subscription list.
    ParsedFeed parsed;
    ASSERT_EQ(ParseFeedBytes(parsed, text, u"list.opml", NoCustomMapping), FeedParseStatus::kOk);
    EXPECT_EQ(parsed.format, FeedFormat::kOpmlGeneric);
    EXPECT_EQ(parsed.items.size(), feeds.size());
}

}  // namespace
}  // namespace qf
