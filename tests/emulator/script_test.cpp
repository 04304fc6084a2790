#include "script.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qf::emu {
namespace {

template <typename Command>
Command Parsed(std::string_view line) {
    auto result = ParseScriptLine(line);
    EXPECT_TRUE(std::holds_alternative<ScriptCommand>(result)) << line;
    if (!std::holds_alternative<ScriptCommand>(result)) return Command{};
    const ScriptCommand& command = std::get<ScriptCommand>(result);
    EXPECT_TRUE(std::holds_alternative<Command>(command)) << line;
    return std::holds_alternative<Command>(command) ? std::get<Command>(command) : Command{};
}

bool Refused(std::string_view line) { return std::holds_alternative<ScriptError>(ParseScriptLine(line)); }

// The forms the integration scripts do not use: every unit, spacing, the other keys, entry texts that look
// like the closing words, and the tab commands besides the hot keys.
TEST(ScriptParser, EveryForm) {
    using std::chrono::milliseconds;
    EXPECT_EQ(Parsed<AdvanceCommand>("advance 1500ms").step, milliseconds(1500));
    EXPECT_EQ(Parsed<AdvanceCommand>("advance 1h").step, milliseconds(3'600'000));
    EXPECT_EQ(Parsed<AdvanceCommand>("  advance   7  ").step, milliseconds(7000));
    EXPECT_EQ(Parsed<KeyCommand>("key up").key, NavigationKey::kUp);
    EXPECT_EQ(Parsed<KeyCommand>("key left").key, NavigationKey::kLeft);
    EXPECT_EQ(Parsed<KeyCommand>("key right").key, NavigationKey::kRight);
    EXPECT_EQ(Parsed<KeyCommand>("key enter\r").key, NavigationKey::kEnter);
    EXPECT_EQ(Parsed<ScreenshotCommand>("screenshot  my shots/a b.png ").path, "my shots/a b.png");
    EXPECT_EQ(Parsed<MenuCommand>("menu  Reload Feed Data ").entry, u"Reload Feed Data");
    EXPECT_EQ(Parsed<MenuCommand>("menu Cancel").entry, u"Cancel");  // the entry, not closing
    EXPECT_TRUE(Parsed<MenuCommand>("menu cancel").entry.empty());
    EXPECT_EQ(Parsed<MessageBoxCommand>("msgbox Größer").button, u"Größer");
    EXPECT_EQ(Parsed<SettleCommand>("settle").timeout, milliseconds(60'000));
    for (const auto& [line, action] : {std::pair{"show", TabAction::kShow},
                                       {"hide", TabAction::kHide},
                                       {"about", TabAction::kAbout},
                                       {"settings", TabAction::kSettings}})
        EXPECT_EQ(Parsed<TabCommand>(line).action, action) << line;
}

TEST(ScriptParser, BlankAndCommentLinesAreSkipped) {
    for (std::string_view line : {"", "   ", "\t\r", "# advance 5s", "  # note"}) {
        EXPECT_TRUE(std::holds_alternative<std::nullopt_t>(ParseScriptLine(line))) << line;
    }
}

TEST(ScriptParser, MalformedLinesAreRefusedWithAReason) {
    // One line per '|'.
    std::istringstream malformed(
        "advance|advance 5x|advance -5s|advance s|advance 99999999999999999999s|advance 999999999h|"
        "tap 1|tap 1 2 3|tap a b|tap -1 5|key|key home|screenshot|dump|quit now|jump 5|hotkey|"
        "hotkey left|show now|resize 240|resize 0 100|resize a b|Advance 5s|menu|notification|"
        "msgbox|settle 0s|settle soon|sleep|sleep 5x");
    for (std::string line; std::getline(malformed, line, '|');) {
        EXPECT_TRUE(Refused(line)) << line;
    }
    auto error = ParseScriptLine("jump 5");
    EXPECT_NE(std::get<ScriptError>(error).text.find("jump"), std::string::npos);
}

}  // namespace
}  // namespace qf::emu
