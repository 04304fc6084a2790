// The emulator's script language: one command per line, e.g. "advance 5s", "tap 120 40", "key down",
// "screenshot out.png", "dump out.json", "quit". Blank lines and lines starting with '#' are skipped.
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

using ScriptCommand =
    std::variant<AdvanceCommand, TapCommand, KeyCommand, ScreenshotCommand, DumpCommand, QuitCommand>;

// Why a line was refused, for a message "script line N: <text>".
struct ScriptError {
    std::string text;
};

// The longest script line; a reader hands on at most one character more, so that the parse can refuse it.
inline constexpr size_t kMaxScriptLine = 4096;

// Any thread. The command of one line; nullopt for a blank or comment line. Durations take the units
// ms, s, m and h ("advance 1500ms", "advance 2m"); a bare number means seconds. Paths are the rest of
// the line, trimmed, so they may contain blanks. Lines longer than kMaxScriptLine or holding control
// characters (a file that is not text) are refused.
std::variant<std::nullopt_t, ScriptCommand, ScriptError> ParseScriptLine(std::string_view line);

}  // namespace qf::emu
