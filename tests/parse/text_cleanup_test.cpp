#include "parse/text_cleanup.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(DecodeEntities, ReplacesKnownReferencesInOnePass) {
    const struct {
        std::u16string_view in;
        std::u16string_view out;
    } kCases[] = {
        {u"Fish &amp; Chips", u"Fish & Chips"},
        {u"&AMP;&Lt;&NBSP;&nbsp;&sp;", u"&<   "},
        {u"&excl;&num;&dollar;&percnt;&lpar;&rpar;&ast;&plus;&comma;&hyphen;&period;&sol;&colon;&semi;",
         u"!#$%()*+,-./:;"},
        {u"&equals;&quest;&lsqb;&rsqb;&bsol;&quot;&apos;", u"=?[]\\\"'"},
        {u"&Eacute;&eacute;&EACUTE;", u"\u00C9\u00E9&EACUTE;"},
        {u"&iexcl;&frac14;&yuml;&times;&THORN;", u"\u00A1\u00BC\u00FF\u00D7\u00DE"},
        {u"&#233;&#8364;&#65601;&#65;", u"\u00E9\u20AC\u0041A"},
        {u"&# 65;&#-1;&#12ab;", u"A\uFFFF\u000C"},
        {u"&#x20AC;&#X41;&#xe9;", u"\u20AC\u0041\u00E9"},
        {u"&#;&#x;&#abc;&# ;", u"&#;&#x;&#abc;&# ;"},
        {u"&amp;lt;b&amp;gt;", u"&lt;b&gt;"},
        {u"AT&T; x", u"AT&T; x"},
        {u"&#123456789;&hellip;&mdash;", u"&#123456789;&hellip;&mdash;"},
        {u"&frac14;x&frac14", u"\u00BCx&frac14"},
        {u"a & b; &amp;", u"a & b; &"},
        {u"&a&amp;", u"&a&"},
        {u"&&&&amp;", u"&&&&"},
    };
    for (const auto& c : kCases) EXPECT_EQ(DecodeEntities(c.in), c.out);
    EXPECT_EQ(DecodeEntities(DecodeEntities(u"&amp;lt;b&amp;gt;")), u"<b>");
}

TEST(StripCdataAndMarkup, OpenCompleteSectionsOnlyAndReplaceTagsByBlanks) {
    EXPECT_EQ(StripCdata(u"<![CDATA[ Hello ]]>"), u"Hello");
    EXPECT_EQ(StripCdata(u"a<![CDATA[b]]>c"), u"a bc");
    EXPECT_EQ(StripCdata(u" x  <![CDATA[ 1 ]]><![CDATA[2]]> y "), u"x 1 2 y");
    EXPECT_EQ(StripCdata(u"a <![CDATA[b"), u"a <![CDATA[b");
    EXPECT_EQ(StripCdata(u"<![CDATA[a]]> <![CDATA[b"), u"a <![CDATA[b");

    // Markup is replaced by blanks.
    EXPECT_EQ(StripMarkup(u"<p>Hello</p><p>World</p>"), u"Hello World");
    EXPECT_EQ(StripMarkup(DecodeEntities(DecodeEntities(u"&amp;lt;b&amp;gt;"))), u"");
    EXPECT_EQ(StripMarkup(u"a <b> c\tline\nbreak &amp;"), u"a  c line\nbreak &amp;");
    EXPECT_EQ(StripMarkup(u"<![CDATA[<i>x</i>]]> 1 < 2"), u"x  1 < 2");
}

TEST(AbsolutizeLinks, PrefixesRelativeTargetsWithTheBaseDirectory) {
    const std::u16string_view base = u"http://example.com/news/feed.xml";
    EXPECT_EQ(AbsolutizeLinks(u"<a href=\"page.html\">", base),
              u"<a href=\"http://example.com/news/page.html\">");
    EXPECT_EQ(AbsolutizeLinks(u"<img src='i.png'><a href='/x'>", base),
              u"<img src='http://example.com/news/i.png'><a href='http://example.com/news//x'>");
    const std::u16string_view kept =
        u"<a href=\"https://a\"><a href=\"#top\"><a href='ftp://f'><img src=\"http://i\"><a HREF=\"x\"><a "
        u"href = \"y\">";
    EXPECT_EQ(AbsolutizeLinks(kept, base), kept);
    EXPECT_EQ(AbsolutizeLinks(u"<a href=\"x\">", u"c:\\dir\\f.htm"), u"<a href=\"c:\\dir\\x\">");
    EXPECT_EQ(AbsolutizeLinks(u"<a href=\"x\">", u"nobase"), u"<a href=\"nobasex\">");
    EXPECT_EQ(AbsolutizeLinks(u"href~~http", base), u"href=\"http");
}

TEST(SanitizeFileNameAndEscapeXml, ReplaceReservedCharactersButNotAmpersands) {
    EXPECT_EQ(SanitizeFileName(u"a/b:c?"), u"a_b_c_");
    EXPECT_EQ(SanitizeFileName(u"\\*\"<>| ok.mp3"), u"______ ok.mp3");

    // XML escaping leaves ampersands alone.
    EXPECT_EQ(EscapeXml(u"<a href=\"x\">'&'</a>"), u"&lt;a href=&quot;x&quot;&gt;&#039;&&#039;&lt;/a&gt;");
}

}  // namespace
}  // namespace qf
