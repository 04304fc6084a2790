#include "parse/feed_document.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/watchdog.h"
#include "tree_dump.h"

namespace qf {
namespace {

using test::Dump;

std::string ParseAndDump(std::u16string text) {
    FeedDocument document;
    EXPECT_TRUE(document.Parse(std::move(text)));
    return Dump(document.root());
}

// The tree each text parses to, as `Dump` writes it.
TEST(FeedDocument, TextsAndTheirTrees) {
    const std::pair<const char16_t*, const char*> cases[] = {
        // Leaves keep their text as written; a leaf ends at the first closing tag of its name, even
        // inside a CDATA section.
        {u"<t><![CDATA[a <b> &amp; c]]></t>", "t\"<![CDATA[a <b> &amp; c]]>\""},
        {u"<d>1 &lt; 2\r\n </d>", "d\"1 &lt; 2\r\n \""},
        {u"<r><t><![CDATA[x</t>y]]></t></r>", "r(t\"<![CDATA[x\" /t)"},
        // HTML inside a description becomes children; unclosed tags are leaves, and a closing tag of
        // another element is read as an element named "/...".
        {u"<item><description>Text <b>bold</b> more</description></item>", "item(description(b\"bold\"))"},
        {u"<d>a<br>b<p>c</x></d>", "d(br p /x)"},
        {u"<a><b></a></b>", "a(b(/a))"},
        // Attributes: one quote kind per tag, the first one met.
        {u"<enclosure url=\"http://e/a.mp3\" length=\"12\" type=\"audio/mpeg\"/>",
         "enclosure[url=http://e/a.mp3 length=12 type=audio/mpeg]/"},
        {u"<a x='1' y=\"2\"/>", "a[y=2]/"},
        {u"<a x='1' y='it\"s'/>", "a[x=1 y=it\"s]/"},
        {u"<a\r\n x=\"l1\r\nl2\tt\" y = \"no\" z=\"open/>", "a[x=l1 l2    t]/"},
        {u"<guid/>", "guid/"},
        {u"<\tlink\n/>", "link/"},
        // The internal subset's declarations are skipped one by one; the stray "]" text is never kept.
        {u"<!DOCTYPE rss [<!ENTITY e \"x\"><!ELEMENT a ANY><!ATTLIST a b CDATA #IMPLIED>]>"
         u"<!-- <fake> --><rss><!----><a/></rss>",
         "rss(a/)"},
        // Without "-->" a comment opening is an element like any other.
        {u"<r><!-- x><y/></r>", "r(!-- y/)"},
        // Closing tags match their exact, case-sensitive name: "</a</c>" closes "c" but not "a"; a
        // closing tag with a blank closes the open element all the same.
        {u"<r><a>x</a</b></r>", "r(a /a</b)"},
        {u"<r><c>y</a</c>z</c></r>", "r(c(/a</c))"},
        {u"<r><a<b>x</a<b></r>", "r(a<b\"x\" b)"},
        {u"<r><Item>x</item></Item></r>", "r(Item(/item))"},
        {u"<r><a>x</a ></a></r>", "r(a /a)"}};
    for (const auto& [text, tree] : cases) EXPECT_EQ(ParseAndDump(text), tree) << test::Narrow(text);
}

TEST(FeedDocument, FindPathAndAttributeNamesMatchInAnyCaseButTheRootAndValuesExactly) {
    FeedDocument document;
    ASSERT_TRUE(document.Parse(u"<rss><Channel><title>1</title><TITLE>2</TITLE></Channel></rss>"));
    EXPECT_EQ(Dump(document.FindPath(u"rss\\channel\\TITLE")), "title\"1\"");
    EXPECT_EQ(document.FindPath(u"RSS\\channel"), nullptr);
    EXPECT_EQ(document.FindPath(u"rss\\item"), nullptr);
    EXPECT_EQ(Dump(document.FindPath(u"rss")), Dump(document.root()));

    // Attribute lookup ignores the name's case but not the value's.
    ASSERT_TRUE(document.Parse(u"<rss Version=\"2.0\" version=\"0.91\"/>"));
    EXPECT_EQ(document.GetAttribute(document.root(), u"VERSION"), u"2.0");
    EXPECT_TRUE(document.HasAttributeValue(document.root(), u"version", u"0.91"));
    EXPECT_FALSE(document.HasAttributeValue(document.root(), u"version", u"2.0 "));
    EXPECT_EQ(document.GetAttribute(document.root(), u"missing"), u"");
    EXPECT_EQ(document.GetAttribute(nullptr, u"version"), u"");
    EXPECT_FALSE(document.HasAttributeValue(nullptr, u"version", u""));
}

TEST(FeedDocument, RootIsTheLastTopLevelElementMetAndAFailedParseKeepsWhatWasBuilt) {
    EXPECT_EQ(ParseAndDump(u"<a/><b>x</b>"), "b\"x\"");
    // An element whose closing tag never comes is a leaf and does not become the root.
    EXPECT_EQ(ParseAndDump(u"<rss version=\"2.0\"><channel><title>t</title></channel>"),
              "channel(title\"t\")");
    FeedDocument document;
    EXPECT_TRUE(document.Parse(u"<?xml version=\"1.0\"?>"));
    EXPECT_TRUE(document.root() == nullptr && document.FindPath(u"rss") == nullptr);

    // Without tags the parse fails but keeps what was built.
    EXPECT_FALSE(document.Parse(u"just text") || document.Parse(u""));
    EXPECT_FALSE(document.Parse(u"<rss><a/></rss><b"));
    EXPECT_EQ(Dump(document.root()), "rss(a/)");
    EXPECT_TRUE(document.Parse(u"<x/>"));
    EXPECT_EQ(Dump(document.root()), "x/");
}

TEST(FeedDocument, HostileNestingAndUnclosedTagsStayCheap) {
    test::Watchdog watchdog(std::chrono::seconds(60), "hostile documents");
    std::u16string nested = u"<d>";
    for (int i = 0; i < 100000; ++i) nested += u"<div>";
    nested += u"x";
    for (int i = 0; i < 100000; ++i) nested += u"</div>";
    nested += u"</d>";
    FeedDocument document;
    ASSERT_TRUE(document.Parse(nested));
    EXPECT_EQ(document.SerializeNode(document.root(), OwnTags::kWrite, Quotes::kDouble).size(), 1300011u);

    std::u16string unclosed = u"<rss><channel><item><description>";
    for (int i = 0; i < 200000; ++i) unclosed += u"line<br><p><x" + std::u16string(1, u'a' + i % 26) + u">";
    for (int i = 0; i < 100000; ++i) unclosed += u"<!-- x>";
    for (int i = 0; i < 100000; ++i) unclosed += u"</</";
    unclosed += u"></description></item></channel></rss>";
    ASSERT_TRUE(document.Parse(unclosed));
    EXPECT_EQ(document.FindPath(u"rss\\channel\\item\\description")->children.size(), 700001u);
}

TEST(FeedDocument, TreesThatOutgrowTheirTextKeepEveryReference) {
    // Empty elements with normalised attributes make far more tree than text, so the block that holds
    // both grows (and moves) many times while the tree is built.
    std::u16string text = u"<r>";
    for (int i = 0; i < 50000; ++i) text += u"<e\tn=\"" + std::u16string(1, u'a' + i % 26) + u"\"/>";
    text += u"</r>";
    FeedDocument document;
    ASSERT_TRUE(document.Parse(text));
    const FeedNode* root = document.root();
    ASSERT_EQ(root->children.size(), 50000u);
    EXPECT_EQ(Dump(root->children[0]), "e[n=a]/");
    const FeedNode* last = root->children[49999];
    EXPECT_EQ(std::pair(Dump(last), Dump(last->previous_sibling)),
              std::pair(std::string("e[n=b]/"), std::string("e[n=a]/")));
    EXPECT_EQ(last->parent, root);
}

}  // namespace
}  // namespace qf
