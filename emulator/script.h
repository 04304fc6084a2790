// The emulator's script language: one command per line, e.g. "advance 5s", "tap 120 40", "key down",
// "menu Reload Feed Data", "notification Download Now", "msgbox Yes", "settle", "sleep 70m",
// "screenshot out.png", "dump out.json", "quit", and in the tab host "hotkey down", "show", "hide",
// "resize 240 200", "about", "settings". Blank lines and lines starting with '#' are skipped.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace qf::emu {

enum class NavigationKey { kUp, kDown, kLeft, kRight, kEnter };

struct AdvanceCommand {
    std::chrono::milliseconds step;
};
struct TapCommand {
    int x;  // screen coordinates
    int y;
};
struct KeyCommand {
    NavigationKey key;
};
struct ScreenshotCommand {
    std::string path;
};
struct DumpCommand {
    std::string path;
};
struct QuitCommand {};
// "menu TEXT" chooses the entry; "menu cancel" (in lower case) closes the menu.
struct MenuCommand {
    std::u16string entry;  // empty: cancel
};
// "notification TEXT" presses the shown bubble's button; "notification dismiss" closes the bubble.
struct NotificationCommand {
    std::u16string button;  // empty: dismiss
};
// "msgbox TEXT" presses the open message box's button (OK, Cancel, Yes, No).
struct MessageBoxCommand {
    std::u16string button;
};
// "settle [TIMEOUT]": waits in real time (60 s unless given) for the download run to end.
struct SettleCommand {
    std::chrono::milliseconds timeout;
};
// "sleep DURATION": the device sleeps; its clock moves on without timer ticks.
struct SleepCommand {
    std::chrono::milliseconds duration;
};

// The tab host's own commands: "hotkey up|down|enter", "show", "hide", "resize W H", "about",
// "settings". Only `quillfeed-emu tab` runs them.
enum class TabAction { kHotKeyUp, kHotKeyDown, kHotKeyEnter, kShow, kHide, kResize, kAbout, kSettings };
struct TabCommand {
    TabAction action;
    int width = 0;  // kResize: the item window's new size
    int height = 0;
};

using ScriptCommand = std::variant<AdvanceCommand, TapCommand, KeyCommand, ScreenshotCommand, DumpCommand,
                                   QuitCommand, MenuCommand, NotificationCommand, MessageBoxCommand,
                                   SettleCommand, SleepCommand, TabCommand>;

// Why a line was refused, for a message "script line N: <text>".
struct ScriptError {
    std::string text;
};

// The longest script line; a reader hands on at most one character more, so that the parse can refuse it.
inline constexpr size_t kMaxScriptLine = 4096;

// Any thread. The command of one line; nullopt for a blank or comment line. Durations take the units
// ms, s, m and h ("advance 1500ms", "advance 2m"); a bare number means seconds. Paths and texts are the
// rest of the line, trimmed, so they may contain blanks; texts are UTF-8. Lines longer than
// kMaxScriptLine or holding control characters (a file that is not text) are refused.
std::variant<std::nullopt_t, ScriptCommand, ScriptError> ParseScriptLine(std::string_view line);

}  // namespace qf::emu
