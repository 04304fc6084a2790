#include "serve_rules.h"

#include <gtest/gtest.h>

namespace qf::emu {
namespace {

// "delay|status|redirect" of an accepted line, "refused" otherwise, "skipped" for a blank or comment.
std::string Outcome(std::string_view line) {
    auto parsed = ParseServeRule(line);
    if (std::holds_alternative<std::nullopt_t>(parsed)) return "skipped";
    auto* rule = std::get_if<std::pair<std::string, ServeRule>>(&parsed);
    if (rule == nullptr) return std::get<ServeRuleError>(parsed).text.empty() ? "no reason" : "refused";
    const ServeRule& r = rule->second;
    return std::to_string(r.delay_ms) + "|" + std::to_string(r.status) + "|" + r.redirect;
}

TEST(ServeRules, LinesGiveTheirBehavioursOrAReason) {
    const std::pair<const char*, const char*> kCases[] = {
        {"/a.xml delay 250", "250|0|"},
        {"/a.xml status 503", "0|503|"},
        {"* redirect /b.xml", "0|0|/b.xml"},
        {"/old redirect http://x/new status 301 delay 5", "5|301|http://x/new"},
        {"  # note", "skipped"},
        {"", "skipped"},
        {"a.xml status 500", "refused"},               // not a path
        {"/a.xml", "refused"},                         // no behaviour
        {"/a.xml delay", "refused"},                   // no value
        {"/a.xml delay 3600001", "refused"},           // longer than an hour
        {"/a.xml status 99", "refused"},               // not an HTTP status
        {"/a.xml status 5xx", "refused"},              // not a number
        {"/a.xml redirect /b status 200", "refused"},  // a redirect wants 3xx
        {"/a.xml explode 1", "refused"},               // unknown behaviour
    };
    for (const auto& [line, outcome] : kCases) EXPECT_EQ(Outcome(line), outcome) << line;
}

TEST(ServeRules, OwnRuleThenStarThenTheFile) {
    ServeRules rules;
    std::string error;
    ASSERT_TRUE(rules.AddLines("* delay 10\n/a.xml status 500\n/a.xml status 404\n", error)) << error;
    EXPECT_EQ(rules.For("/a.xml").status, 404);  // the later line wins, and replaces the * rule whole
    EXPECT_EQ(rules.For("/a.xml").delay_ms, 0);
    EXPECT_EQ(rules.For("/b.xml").delay_ms, 10);

    // A bad line names its number and leaves the rules as they were.
    EXPECT_FALSE(rules.AddLines("/b.xml status 410\n/c.xml delay x\n", error));
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    EXPECT_EQ(rules.For("/b.xml").status, 0);
}

}  // namespace
}  // namespace qf::emu
