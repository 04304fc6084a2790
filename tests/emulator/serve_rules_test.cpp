#include "serve_rules.h"

#include <gtest/gtest.h>

namespace qf::emu {
namespace {

TEST(ServeRules, LinesGiveTheirBehavioursOrAReason) {
    struct Case {
        const char* line;
        bool accepted;
        int delay_ms = 0, status = 0;
        const char* redirect = "";
    };
    const Case cases[] = {
        {"/a.xml delay 250", true, 250, 0, ""},
        {"/a.xml status 503", true, 0, 503, ""},
        {"* redirect /b.xml", true, 0, 0, "/b.xml"},
        {"/old redirect http://x/new status 301 delay 5", true, 5, 301, "http://x/new"},
        {"a.xml status 500", false},               // not a path
        {"/a.xml", false},                         // no behaviour
        {"/a.xml delay", false},                   // no value
        {"/a.xml delay -1", false},                // out of range
        {"/a.xml delay 3600001", false},           // longer than an hour
        {"/a.xml status 99", false},               // not an HTTP status
        {"/a.xml status 5xx", false},              // not a number
        {"/a.xml redirect /b status 200", false},  // a redirect wants 3xx
        {"/a.xml explode 1", false},               // unknown behaviour
    };
    for (const Case& c : cases) {
        auto parsed = ParseServeRule(c.line);
        auto* rule = std::get_if<std::pair<std::string, ServeRule>>(&parsed);
        ASSERT_EQ(rule != nullptr, c.accepted) << c.line;
        if (!c.accepted) {
            EXPECT_FALSE(std::get<ServeRuleError>(parsed).text.empty()) << c.line;
            continue;
        }
        EXPECT_EQ(rule->second.delay_ms, c.delay_ms) << c.line;
        EXPECT_EQ(rule->second.status, c.status) << c.line;
        EXPECT_EQ(rule->second.redirect, c.redirect) << c.line;
    }
    EXPECT_TRUE(std::holds_alternative<std::nullopt_t>(ParseServeRule("  # note")));
    EXPECT_TRUE(std::holds_alternative<std::nullopt_t>(ParseServeRule("  ")));
}

TEST(ServeRules, OwnRuleThenStarThenTheFile) {
    ServeRules rules;
    std::string error;
    EXPECT_EQ(rules.For("/a.xml").status, 0);
    ASSERT_TRUE(rules.AddLines("# rules\n* delay 10\n/a.xml status 500\n/a.xml status 404\n", error))
        << error;
    EXPECT_EQ(rules.For("/a.xml").status, 404);  // the later line wins
    EXPECT_EQ(rules.For("/a.xml").delay_ms, 0);  // an own rule replaces the * rule whole
    EXPECT_EQ(rules.For("/b.xml").delay_ms, 10);

    // A bad line names its number and leaves the rules as they were.
    EXPECT_FALSE(rules.AddLines("/b.xml status 410\n/c.xml delay x\n", error));
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    EXPECT_EQ(rules.For("/b.xml").status, 0);
}

}  // namespace
}  // namespace qf::emu
