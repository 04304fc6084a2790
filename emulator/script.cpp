#include "script.h"

#include <charconv>
#include <cstdint>
#include <vector>

#include "win/strings.h"

namespace qf::emu {
namespace {

using ParseResult = std::variant<std::nullopt_t, ScriptCommand, ScriptError>;

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Splits off the first word; `rest` keeps the trimmed remainder.
std::string_view FirstWord(std::string_view text, std::string_view& rest) {
    size_t end = text.find_first_of(" \t");
    std::string_view word = text.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : Trim(text.substr(end));
    return word;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    while (!text.empty()) {
        std::string_view rest;
        words.push_back(FirstWord(text, rest));
        text = rest;
    }
    return words;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::chrono::milliseconds> ParseDuration(std::string_view text) {
    size_t digits = text.find_first_not_of("0123456789");
    std::optional<std::int64_t> amount = ParseInteger(text.substr(0, digits));
    if (!amount) return std::nullopt;
    std::string_view unit = digits == std::string_view::npos ? "s" : text.substr(digits);
    std::int64_t unit_ms = 0;
    if (unit == "ms") {
        unit_ms = 1;
    } else if (unit == "s") {
        unit_ms = 1000;
    } else if (unit == "m") {
        unit_ms = 60'000;
    } else if (unit == "h") {
        unit_ms = 3'600'000;
    } else {
        return std::nullopt;
    }
    // Ten years is far beyond any useful step and keeps the product from overflowing.
    constexpr std::int64_t kLongestStepMs = 10LL * 366 * 24 * 3'600'000;
    if (*amount > kLongestStepMs / unit_ms) return std::nullopt;
    return std::chrono::milliseconds(*amount * unit_ms);
}

ParseResult ParseAdvance(std::string_view argument) {
    std::optional<std::chrono::milliseconds> step = ParseDuration(argument);
    if (!step) return ScriptError{"advance wants a duration such as 5s, 500ms, 2m or 1h"};
    return AdvanceCommand{*step};
}

ParseResult ParseTap(std::string_view arguments) {
    std::vector<std::string_view> words = Words(arguments);
    if (words.size() == 2) {
        std::optional<std::int64_t> x = ParseInteger(words[0]);
        std::optional<std::int64_t> y = ParseInteger(words[1]);
        constexpr std::int64_t kLimit = 1 << 15;
        if (x && y && *x >= 0 && *y >= 0 && *x < kLimit && *y < kLimit) {
            return TapCommand{static_cast<int>(*x), static_cast<int>(*y)};
        }
    }
    return ScriptError{"tap wants two screen coordinates: tap X Y"};
}

ParseResult ParseKey(std::string_view argument) {
    static constexpr std::pair<std::string_view, NavigationKey> kKeys[] = {
        {"up", NavigationKey::kUp},       {"down", NavigationKey::kDown},   {"left", NavigationKey::kLeft},
        {"right", NavigationKey::kRight}, {"enter", NavigationKey::kEnter},
    };
    for (const auto& [name, key] : kKeys) {
        if (argument == name) return KeyCommand{key};
    }
    return ScriptError{"key wants one of up, down, left, right, enter"};
}

ParseResult ParseHotKey(std::string_view argument) {
    if (argument == "up") return TabCommand{TabAction::kHotKeyUp};
    if (argument == "down") return TabCommand{TabAction::kHotKeyDown};
    if (argument == "enter") return TabCommand{TabAction::kHotKeyEnter};
    return ScriptError{"hotkey wants one of up, down, enter"};
}

ParseResult ParseResize(std::string_view arguments) {
    std::vector<std::string_view> words = Words(arguments);
    if (words.size() == 2) {
        std::optional<std::int64_t> width = ParseInteger(words[0]);
        std::optional<std::int64_t> height = ParseInteger(words[1]);
        constexpr std::int64_t kLimit = 1 << 15;
        if (width && height && *width > 0 && *height > 0 && *width < kLimit && *height < kLimit) {
            return TabCommand{TabAction::kResize, static_cast<int>(*width), static_cast<int>(*height)};
        }
    }
    return ScriptError{"resize wants the item's width and height: resize W H"};
}

// The tab host's commands that take no arguments.
std::optional<ParseResult> ParseBareTabCommand(std::string_view verb, std::string_view rest) {
    static constexpr std::pair<std::string_view, TabAction> kBare[] = {
        {"show", TabAction::kShow},
        {"hide", TabAction::kHide},
        {"about", TabAction::kAbout},
        {"settings", TabAction::kSettings},
    };
    for (const auto& [name, action] : kBare) {
        if (verb != name) continue;
        if (!rest.empty()) return ScriptError{std::string(verb) + " takes no arguments"};
        return TabCommand{action};
    }
    return std::nullopt;
}

ParseResult ParseDurationCommand(std::string_view verb, std::string_view argument) {
    std::optional<std::chrono::milliseconds> duration = ParseDuration(argument);
    if (verb == "settle") {
        constexpr std::chrono::seconds kDefaultSettle{60};
        if (argument.empty()) return SettleCommand{kDefaultSettle};
        if (duration && duration->count() > 0) return SettleCommand{*duration};
        return ScriptError{"settle wants nothing or a time-out such as 30s"};
    }
    if (!duration) return ScriptError{"sleep wants a duration such as 70m"};
    return SleepCommand{*duration};
}

// "menu", "notification" and "msgbox" take the rest of the line as the text to find.
ParseResult ParseAnswer(std::string_view verb, std::string_view text) {
    if (text.empty()) return ScriptError{std::string(verb) + " wants the text of an entry or button"};
    std::u16string wide = Utf8ToWide(text);
    if (verb == "menu") return MenuCommand{text == "cancel" ? std::u16string() : wide};
    if (verb == "notification") return NotificationCommand{text == "dismiss" ? std::u16string() : wide};
    return MessageBoxCommand{wide};
}

}  // namespace

ParseResult ParseScriptLine(std::string_view line) {
    if (line.size() > kMaxScriptLine) return ScriptError{"the line is too long (is this a script?)"};
    for (char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r')
            return ScriptError{"the line holds control characters (is this a script?)"};
    }
    std::string_view text = Trim(line);
    if (text.empty() || text.front() == '#') return std::nullopt;
    std::string_view rest;
    std::string_view verb = FirstWord(text, rest);
    if (verb == "advance") return ParseAdvance(rest);
    if (verb == "tap") return ParseTap(rest);
    if (verb == "key") return ParseKey(rest);
    if (verb == "screenshot" || verb == "dump") {
        if (rest.empty()) return ScriptError{std::string(verb) + " wants a file name"};
        if (verb == "dump") return DumpCommand{std::string(rest)};
        return ScreenshotCommand{std::string(rest)};
    }
    if (verb == "menu" || verb == "notification" || verb == "msgbox") return ParseAnswer(verb, rest);
    if (verb == "settle" || verb == "sleep") return ParseDurationCommand(verb, rest);
    if (verb == "hotkey") return ParseHotKey(rest);
    if (verb == "resize") return ParseResize(rest);
    if (std::optional<ParseResult> tab = ParseBareTabCommand(verb, rest)) return *tab;
    if (verb == "quit") {
        if (!rest.empty()) return ScriptError{"quit takes no arguments"};
        return QuitCommand{};
    }
    return ScriptError{"unknown command '" + std::string(verb) + "'"};
}

}  // namespace qf::emu
