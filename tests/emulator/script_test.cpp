#include "script.h"

#include <gtest/gtest.h>

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

TEST(ScriptParser, EveryCommand) {
    using std::chrono::milliseconds;
    EXPECT_EQ(Parsed<AdvanceCommand>("advance 5s").step, milliseconds(5000));
    EXPECT_EQ(Parsed<AdvanceCommand>("advance 1500ms").step, milliseconds(1500));
    EXPECT_EQ(Parsed<AdvanceCommand>("advance 2m").step, milliseconds(120'000));
    EXPECT_EQ(Parsed<AdvanceCommand>("advance 1h").step, milliseconds(3'600'000));
    EXPECT_EQ(Parsed<AdvanceCommand>("  advance   7  ").step, milliseconds(7000));

    TapCommand tap = Parsed<TapCommand>("tap 120 40");
    EXPECT_EQ(tap.x, 120);
    EXPECT_EQ(tap.y, 40);

    EXPECT_EQ(Parsed<KeyCommand>("key up").key, NavigationKey::kUp);
    EXPECT_EQ(Parsed<KeyCommand>("key down").key, NavigationKey::kDown);
    EXPECT_EQ(Parsed<KeyCommand>("key left").key, NavigationKey::kLeft);
    EXPECT_EQ(Parsed<KeyCommand>("key right").key, NavigationKey::kRight);
    EXPECT_EQ(Parsed<KeyCommand>("key enter\r").key, NavigationKey::kEnter);

    EXPECT_EQ(Parsed<ScreenshotCommand>("screenshot out.png").path, "out.png");
    EXPECT_EQ(Parsed<ScreenshotCommand>("screenshot  my shots/a b.png ").path, "my shots/a b.png");
    EXPECT_EQ(Parsed<DumpCommand>("dump /tmp/state.json").path, "/tmp/state.json");
    Parsed<QuitCommand>("quit");

    EXPECT_EQ(Parsed<MenuCommand>("menu  Reload Feed Data ").entry, u"Reload Feed Data");
    EXPECT_EQ(Parsed<MenuCommand>("menu Real VGA - 16pt").entry, u"Real VGA - 16pt");
    EXPECT_EQ(Parsed<MenuCommand>("menu Cancel").entry, u"Cancel");  // the entry, not closing
    EXPECT_TRUE(Parsed<MenuCommand>("menu cancel").entry.empty());
    EXPECT_EQ(Parsed<NotificationCommand>("notification Download Now").button, u"Download Now");
    EXPECT_TRUE(Parsed<NotificationCommand>("notification dismiss").button.empty());
    EXPECT_EQ(Parsed<MessageBoxCommand>("msgbox Größer").button, u"Größer");
    EXPECT_EQ(Parsed<SettleCommand>("settle").timeout, milliseconds(60'000));
    EXPECT_EQ(Parsed<SettleCommand>("settle 500ms").timeout, milliseconds(500));
    EXPECT_EQ(Parsed<SleepCommand>("sleep 70m").duration, milliseconds(4'200'000));

    const std::pair<std::string_view, TabAction> tab_commands[] = {
        {"hotkey up", TabAction::kHotKeyUp},
        {"hotkey down", TabAction::kHotKeyDown},
        {"hotkey enter", TabAction::kHotKeyEnter},
        {"show", TabAction::kShow},
        {"hide", TabAction::kHide},
        {"about", TabAction::kAbout},
        {"settings", TabAction::kSettings},
        {"resize 240 100", TabAction::kResize},
    };
    for (const auto& [line, action] : tab_commands)
        EXPECT_EQ(Parsed<TabCommand>(line).action, action) << line;
    TabCommand resize = Parsed<TabCommand>("resize 240 100");
    EXPECT_EQ(resize.width, 240);
    EXPECT_EQ(resize.height, 100);
}

TEST(ScriptParser, BlankAndCommentLinesAreSkipped) {
    for (std::string_view line : {"", "   ", "\t\r", "# advance 5s", "  # note"}) {
        EXPECT_TRUE(std::holds_alternative<std::nullopt_t>(ParseScriptLine(line))) << line;
    }
}

TEST(ScriptParser, MalformedLinesAreRefusedWithAReason) {
    for (std::string_view line : {"advance",
                                  "advance 5x",
                                  "advance -5s",
                                  "advance s",
                                  "advance 99999999999999999999s",
                                  "advance 999999999h",
                                  "tap 1",
                                  "tap 1 2 3",
                                  "tap a b",
                                  "tap -1 5",
                                  "key",
                                  "key home",
                                  "screenshot",
                                  "dump",
                                  "quit now",
                                  "jump 5",
                                  "hotkey",
                                  "hotkey left",
                                  "show now",
                                  "resize 240",
                                  "resize 0 100",
                                  "resize a b",
                                  "Advance 5s",
                                  "menu",
                                  "notification",
                                  "msgbox",
                                  "settle 0s",
                                  "settle soon",
                                  "sleep",
                                  "sleep 5x"}) {
        EXPECT_TRUE(Refused(line)) << line;
    }
    auto error = ParseScriptLine("jump 5");
    EXPECT_NE(std::get<ScriptError>(error).text.find("jump"), std::string::npos);
}

}  // namespace
}  // namespace qf::emu
