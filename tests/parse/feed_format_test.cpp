#include <gtest/gtest.h>

#include <cstring>

#include "parse/feed_parser.h"
#include "tree_dump.h"

namespace qf {
namespace {

using test::Narrow;

std::string Utf8(std::u16string_view text) { return Narrow(text); }

ParsedFeed Parse(const std::string& xml, const CustomMappingSource& mappings = NoCustomMapping) {
    ParsedFeed feed;
    EXPECT_EQ(ParseFeedBytes(feed, xml, u"feed.xml", mappings), FeedParseStatus::kOk) << xml;
    return feed;
}

// Title, link, date, guid, description and enclosure of one item, for comparing items whole.
std::string Item(const ParsedItem& item) {
    std::string out = Utf8(item.title) + "|" + Utf8(item.link) + "|" + Utf8(item.date) + "|" +
                      Utf8(item.guid) + "|" + Utf8(item.description);
    if (!item.enclosure_url.empty())
        out += "|" + Utf8(item.enclosure_url) + "#" + std::to_string(item.enclosure_length);
    return out;
}

// Format name, title, link, description and date of the channel.
std::string Channel(const ParsedFeed& feed) {
    return Utf8(feed.format_name) + "|" + Utf8(feed.title) + "|" + Utf8(feed.link) + "|" +
           Utf8(feed.description) + "|" + Utf8(feed.date);
}

TEST(FeedFormat, DetectionTakesTheFirstMatchingRule) {
    const struct {
        const char* xml;
        int code;
    } kCases[] = {
        {"<rdf:RDF xmlns=\"http://purl.org/rss/1.0/\"/>", 4},
        {"<rdf:RDF xmlns=\"http://my.netscape.com/rdf/simple/0.9/\"/>", 1},
        {"<rdf:RDF xmlns=\"http://purl.org/rss/1.0\"/>", 0},
        {"<RDF:rdf xmlns=\"http://purl.org/rss/1.0/\"/>", 0},
        {"<rss version=\"0.91\"/>", 2},
        {"<rss version=\"0.92\"/>", 3},
        {"<rss version=\"0.93\"/>", 8},
        {"<rss version=\"2.0\"/>", 7},
        {"<rss VERSION=\"2\"/>", 7},
        {"<rss version=\"0.94\"/>", 7},
        {"<rss version=\"1.0\"/>", 7},
        {"<rss version=\"2.01\"/>", 0},
        {"<rss/>", 0},
        {"<feed version=\"0.3\"/>", 11},
        {"<feed xmlns=\"http://www.w3.org/2005/Atom\"/>", 0},
        {"<opml version=\"1.0\"><head><title>SharpReader</title></head></opml>", 5},
        {"<opml version=\"1.1\"/>", 6},
        {"<opml version=\"2.0\"><head><title>My SharpReader list</title></head></opml>", 9},
        {"<opml version=\"2.0\"><head><title>sharpreader</title></head><body><outline/></body></opml>", 10},
        {"<opml><body><Outline/></body></opml>", 10},
        {"<opml version=\"2.0\"><body/></opml>", 0},
        {"<html><body/></html>", 0},
    };
    for (const auto& c : kCases) {
        FeedDocument document;
        ASSERT_TRUE(document.Parse(std::u16string(c.xml, c.xml + std::strlen(c.xml))));
        EXPECT_EQ(static_cast<int>(DetectFormat(document)), c.code) << c.xml;
    }
}

TEST(FeedFormat, Rss2ChannelAndItems) {
    const ParsedFeed feed = Parse(R"(<?xml version="1.0"?>
<rss version="2.0" xmlns:dc="http://purl.org/dc/elements/1.1/"><channel>
  <title>Old</title><TITLE> <![CDATA[ Fish &amp; Chips ]]> </TITLE>
  <link>http://e.com/</link><description>D &lt;b&gt;</description>
  <lastBuildDate>Mon, 02 Jan 2006 10:00:00 GMT</lastBuildDate><dc:date>2005-01-01T00:00:00Z</dc:date>
  <pubDate>ignored</pubDate>
  <item><title>A</title><title>A2</title><link>http://e.com/a</link><guid isPermaLink="false">g1</guid>
    <dc:date>2005</dc:date><pubDate>Tue</pubDate>
    <description>Text <b>bold</b></description><description>second</description>
    <enclosure url="http://e.com/a.mp3" length="" type="audio/mpeg"/></item>
  <item><pubDate>P</pubDate><dc:date>D</dc:date>
    <enclosure url="http://e.com/b.ogg" length="5" type="audio/ogg"/>
    <enclosure url="http://e.com/b.mp3" length="123abc" type="audio/mpeg"/>
    <enclosure url="http://e.com/c.mp3" length="7" type="Audio/mpeg"/></item>
  <entry/><Item/>
</channel></rss>)");
    EXPECT_EQ(feed.format, FeedFormat::kRss20);
    EXPECT_EQ(Channel(feed) + "|" + Utf8(feed.source_path),
              "RSS v2.0|Fish &amp; Chips|http://e.com/|D &lt;b&gt;|Mon, 02 Jan 2006 10:00:00 GMT|feed.xml");
    ASSERT_EQ(feed.items.size(), 3u);
    // HTML written as elements leaves the description empty, so the second description fills it.
    EXPECT_EQ(Item(feed.items[0]), "A|http://e.com/a|Tue|g1|second|http://e.com/a.mp3#0");
    EXPECT_EQ(Item(feed.items[1]), "||P|||http://e.com/b.mp3#123");
    EXPECT_EQ(Item(feed.items[2]), "||||");
}

TEST(FeedFormat, OlderRssAndRdfKeepTheTitleRaw) {
    const ParsedFeed rss091 = Parse(
        "<rss "
        "version=\"0.91\"><channel><title><![CDATA[T]]></title><dc:date>D1</dc:date><dc:date>D2</dc:date>"
        "<item><title>x</title></item></channel></rss>");
    EXPECT_EQ(Channel(rss091), "RSS v0.91|<![CDATA[T]]>|||D1");
    ASSERT_EQ(rss091.items.size(), 1u);

    const ParsedFeed rdf = Parse(
        "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\" "
        "xmlns=\"http://purl.org/rss/1.0/\">"
        "<channel><title>R</title><items><rdf:Seq><rdf:li/></rdf:Seq></items></channel>"
        "<image><title>logo</title></image>"
        "<item "
        "rdf:about=\"1\"><title>one</title><link>l1</link><dc:date>2006-01-02T10:00:00Z</dc:date></item>"
        "<item rdf:about=\"2\"><title>two</title></item></rdf:RDF>");
    EXPECT_EQ(rdf.format, FeedFormat::kRss10);
    EXPECT_EQ(rdf.title, u"R");
    ASSERT_EQ(rdf.items.size(), 2u);
    EXPECT_EQ(Item(rdf.items[0]), "one|l1|2006-01-02T10:00:00Z||");
    EXPECT_EQ(Item(rdf.items[1]), "two||||");
}

TEST(FeedFormat, AtomEntries) {
    const ParsedFeed feed = Parse(R"(<feed version="0.3" xmlns="http://purl.org/atom/ns#">
<title><![CDATA[Atom]]></title><link rel="alternate" href="http://a/1"/><link href="http://a/2"/>
<tagline>Tag</tagline><modified>2006-01-02T10:00:00Z</modified>
<entry><title>E1</title><link href="http://a/e1"/><link href="http://a/other"/><id>id1</id>
  <issued>I</issued><modified>M</modified><summary>S</summary><content type="text/html">C</content></entry>
<entry><id>id2</id><content type="application/xhtml+xml"><div xmlns="x"><p>Hi</p></div></content>
  <summary>S2</summary></entry>
</feed>)");
    EXPECT_EQ(Channel(feed), "ATOM v0.3|Atom|http://a/2|Tag|2006-01-02T10:00:00Z");
    ASSERT_EQ(feed.items.size(), 2u);
    EXPECT_EQ(Item(feed.items[0]), "E1|http://a/e1|I|id1|C");
    EXPECT_EQ(Item(feed.items[1]), "|||id2|<div xmlns=\"x\">\n<p>\nHi\n</p>\n</div>\n");
}

TEST(FeedFormat, CustomMappingsTakePrecedence) {
    const std::string xml = R"(<rss version="2.0"><channel><title>T</title>
<item><title>standard</title><Headline>custom</Headline><url>http://u</url><link>http://l</link>
  <when>W</when><pubDate>P</pubDate><body><p>Hi</p></body><description>D</description></item>
<item><pubDate>P</pubDate><when>W</when><body>plain</body></item></channel></rss>)";
    int asked = -1;
    const ParsedFeed feed = Parse(xml, [&asked](int map_index) {
        asked = map_index;
        return CustomMapping{u"headline", u"url", u"when", u"body", true};
    });
    EXPECT_EQ(asked, 5);
    ASSERT_EQ(feed.items.size(), 2u);
    EXPECT_EQ(Item(feed.items[0]), "custom|http://u|W||<p>\nHi\n</p>\n");
    EXPECT_EQ(Item(feed.items[1]), "||W||plain\n");

    const ParsedFeed atom = Parse(
        "<feed "
        "version=\"0.3\"><entry><sum>custom</sum><content>C</content><summary>S</summary></entry></feed>",
        [](int map_index) {
            EXPECT_EQ(map_index, 6);
            return CustomMapping{{}, {}, {}, u"sum", false};
        });
    ASSERT_EQ(atom.items.size(), 1u);
    EXPECT_EQ(atom.items[0].description, u"custom");
}

TEST(FeedFormat, OpmlOutlinesBecomeItemsWithTheirChildrenAsText) {
    const std::string body = R"(<body>
<outline text="A" htmlUrl="http://a" description="About A">
  <outline text="A1" description="d1"><outline text="A1x"/></outline>
  <outline description="only d"/><outline text="only t"/><outline/><other text="no"/>
</outline><Outline text="skipped"/><outline text="B"/></body>)";
    const ParsedFeed v10 =
        Parse("<opml version=\"1.0\"><head><title>Outline</title></head>" + body + "</opml>");
    EXPECT_EQ(Channel(v10), "OPML v1.0|Outline|||");
    ASSERT_EQ(v10.items.size(), 2u);
    EXPECT_EQ(Item(v10.items[0]), "A|http://a|||- A1\n-- A1x\n- \n- only t\n- \n");
    EXPECT_EQ(Item(v10.items[1]), "B||||");

    const ParsedFeed v11 =
        Parse("<opml version=\"1.1\"><head><title><![CDATA[Out]]></title></head>" + body + "</opml>");
    EXPECT_EQ(v11.title, u"Out");
    ASSERT_EQ(v11.items.size(), 2u);
    EXPECT_EQ(Utf8(v11.items[0].description), "About A\n- A1: d1-- A1x\n\n- only d\n- only t\n-");
    EXPECT_EQ(Parse("<opml version=\"1.0\"><body><outline text=\"x\"/></body></opml>").title, u"Opml Data");
}

TEST(FeedFormat, SubscriptionListsNameFeeds) {
    const std::string body = R"(<body>
<outline title="Folder"><outline type="rss" title="F1" xmlUrl="http://f/1" description="d1"/>
  <outline text="Sub"><outline type="rss" title="F2" xmlUrl="http://f/2"/></outline></outline>
<outline type="rss" text="T3" xmlUrl="http://f/3"/>
<outline type="link" title="L" xmlUrl="http://f/4"/>
<outline type="rss" title="NoUrl"/>
<item type="rss" title="F5" xmlUrl="http://f/5"></item><item type="rss" title="F6" xmlUrl="http://f/6"/>
</body>)";
    const ParsedFeed sharp =
        Parse("<opml version=\"2.0\"><head><title>SharpReader subs</title></head>" + body + "</opml>");
    EXPECT_EQ(Channel(sharp), "OPML SharpReader|SharpReader subs|||");
    auto titles = [](const ParsedFeed& feed) {
        std::string joined;
        for (const ParsedItem& item : feed.items) joined += Utf8(item.title) + "=" + Utf8(item.link) + " ";
        return joined;
    };
    EXPECT_EQ(titles(sharp), "F1=http://f/1 F2=http://f/2 =http://f/3 NoUrl= F6=http://f/6 ");
    EXPECT_EQ(sharp.items[0].description, u"d1");

    const ParsedFeed generic =
        Parse("<opml><head><dateCreated>C</dateCreated><DC:DATE>D</DC:DATE></head>" + body + "</opml>");
    EXPECT_EQ(generic.format_name, u"OPML Subscription (generic)");
    EXPECT_TRUE(generic.title.starts_with(u"Subscription: ")) << Utf8(generic.title);
    EXPECT_EQ(generic.date, u"C");
    EXPECT_EQ(titles(generic), "F1=http://f/1 F2=http://f/2 T3=http://f/3 L=http://f/4 F6=http://f/6 ");
}

TEST(FeedFormat, FailuresLeaveTheFeedResetAndBlankTitlesGetDistinctNumbers) {
    ParsedFeed feed = Parse("<rss version=\"2.0\"><channel><title>T</title><item/></channel></rss>");
    EXPECT_EQ(ParseFeedBytes(feed, "<html><title>x</title></html>", u"f", NoCustomMapping),
              FeedParseStatus::kUnknownFormat);
    EXPECT_EQ(std::tuple(feed.format, feed.title, feed.items.size()),
              std::tuple(FeedFormat::kUnknown, u"", 0u));
    EXPECT_EQ(ParseFeedBytes(feed, "no tags at all", u"f", NoCustomMapping), FeedParseStatus::kUnreadable);
    EXPECT_EQ(ParseFeedBytes(feed, "", u"f", NoCustomMapping), FeedParseStatus::kUnreadable);
    // A truncated feed whose root is never closed has no "rss" root.
    EXPECT_EQ(ParseFeedBytes(feed, "<rss version=\"2.0\"><channel><title>T</title></channel>", u"f",
                             NoCustomMapping),
              FeedParseStatus::kUnknownFormat);
    EXPECT_TRUE(feed.source_path.empty());

    // Blank titles get distinct numbers.
    const ParsedFeed first = Parse("<rss version=\"2.0\"><channel><title> \t </title></channel></rss>");
    const ParsedFeed second = Parse("<rss version=\"2.0\"><channel/></rss>");
    ASSERT_TRUE(first.title.starts_with(u"No Title: ")) << Utf8(first.title);
    ASSERT_TRUE(second.title.starts_with(u"No Title: ")) << Utf8(second.title);
    EXPECT_NE(first.title, second.title);
    EXPECT_TRUE(second.items.empty());
}

TEST(FeedFile, DecodesUtf8OnlyWhenItRoundTrips) {
    EXPECT_EQ(DecodeFileText("<t>caf\xC3\xA9 \xE2\x82\xAC</t>"), u"<t>caf\u00E9 \u20AC</t>");
    // Windows-1252 bytes that are not valid UTF-8.
    EXPECT_EQ(DecodeFileText("<t>caf\xE9 \x80</t>"), u"<t>caf\u00E9 \u20AC</t>");
    // A truncated four-byte sequence is not UTF-8, even where a replacement character would fit.
    EXPECT_EQ(DecodeFileText("<t>\xF0\x9F\x98</t>"), u"<t>\u00F0\u0178\u02DC</t>");
    // A byte order mark is not looked at: UTF-8 keeps U+FEFF, UTF-16 goes through the ANSI page.
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBF<a/>"), u"\uFEFF<a/>");
    EXPECT_EQ(DecodeFileText(std::string("\xFF\xFE<\0a\0/\0>\0", 10)), u"\u00FF\u00FE<");
    EXPECT_EQ(DecodeFileText(std::string("<a/>\0<b/>", 9)), u"<a/>");
    EXPECT_EQ(DecodeFileText(""), u"");
    // Big files are decoded in slices; a character across a slice border stays whole, and one invalid
    // byte anywhere sends the whole file through the ANSI page.
    std::string big = std::string((1 << 20) - 1, 'a') + "\xC3\xA9" + std::string(1 << 20, 'b');
    std::u16string decoded = DecodeFileText(big);
    ASSERT_EQ(decoded.size(), big.size() - 1);
    EXPECT_EQ(decoded[(1 << 20) - 1], u'\u00E9');
    big.back() = '\xE9';
    decoded = DecodeFileText(big);
    ASSERT_EQ(decoded.size(), big.size());
    EXPECT_EQ(decoded.substr((1 << 20) - 1, 2), u"\u00C3\u00A9");
}

TEST(FeedFormat, Atom10IsReadOnlyWhenTurnedOn) {
    const std::string xml = R"(<feed xmlns="http://www.w3.org/2005/Atom">
<title>A1</title><link rel="self" href="http://a/self"/><link href="http://a/"/>
<subtitle>Sub</subtitle><updated>2024-05-01T10:00:00Z</updated>
<entry><title>E1</title><link rel="enclosure" type="audio/mpeg" href="http://a/1.mp3" length="4096"/>
  <link rel="alternate" href="http://a/e1"/><id>urn:1</id><updated>U</updated><published>P</published>
  <summary>S</summary><content type="xhtml"><div><p>Hi</p></div></content></entry>
<entry><link rel="related" href="http://a/rel"/><updated>U2</updated><content type="html">&lt;b&gt;</content></entry>
</feed>)";
    ParsedFeed feed;
    EXPECT_EQ(ParseFeedBytes(feed, xml, u"f", NoCustomMapping), FeedParseStatus::kUnknownFormat);
    ASSERT_EQ(ParseFeedBytes(feed, xml, u"f", NoCustomMapping, Atom10::kOn), FeedParseStatus::kOk);
    EXPECT_EQ(feed.format, FeedFormat::kAtom10);
    EXPECT_EQ(Channel(feed), "ATOM v1.0|A1|http://a/|Sub|2024-05-01T10:00:00Z");
    ASSERT_EQ(feed.items.size(), 2u);
    EXPECT_EQ(Item(feed.items[0]),
              "E1|http://a/e1|P|urn:1|<div>\n<p>\nHi\n</p>\n</div>\n|http://a/1.mp3#4096");
    EXPECT_EQ(Item(feed.items[1]), "|http://a/rel|U2||&lt;b&gt;");
    // A version 0.3 feed stays Atom 0.3 whatever its namespace.
    ASSERT_EQ(ParseFeedBytes(feed, "<feed version=\"0.3\" xmlns=\"http://www.w3.org/2005/Atom\"/>", u"f",
                             NoCustomMapping, Atom10::kOn),
              FeedParseStatus::kOk);
    EXPECT_EQ(feed.format, FeedFormat::kAtom03);
}

TEST(FeedFormat, ASinkHearsTheFinishedChannelBeforeTheItems) {
    class Bytes : public FeedBytes {
      public:
        explicit Bytes(std::string_view bytes) : bytes_(bytes) {}
        size_t size() const override { return bytes_.size(); }
        std::optional<std::string_view> Slice(size_t offset, size_t max) override {
            return bytes_.substr(offset, max);
        }

      private:
        std::string_view bytes_;
    };
    class Recorder : public ParsedFeedSink {
      public:
        void Channel(const ParsedFeed& channel) override { log += "[" + Utf8(channel.title) + "] "; }
        void Item(ParsedItem item) override { log += Utf8(item.title) + " "; }
        std::string log;
    };
    Bytes bytes(
        "<rss version=\"2.0\"><channel><item><title>a</title></item><title> T </title>"
        "<item><title>b</title></item></channel></rss>");
    Recorder recorder;
    EXPECT_EQ(ParseFeedBytes(bytes, u"f", ParseOptions{}, recorder), FeedParseStatus::kOk);
    EXPECT_EQ(recorder.log, "[T] a b ");
}

}  // namespace
}  // namespace qf
