#include "serve_rules.h"

#include <charconv>
#include <sstream>

namespace qf::emu {
namespace {

std::optional<int> Number(const std::string& text, int low, int high) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::variant<std::nullopt_t, std::pair<std::string, ServeRule>, ServeRuleError> ParseServeRule(
    std::string_view line) {
    std::istringstream words{std::string(line)};
    std::string path;
    if (!(words >> path) || path.front() == '#') return std::nullopt;
    if (path != "*" && path.front() != '/') return ServeRuleError{"the path must start with / (or be *)"};
    ServeRule rule;
    bool any = false;
    for (std::string behaviour, argument; words >> behaviour; any = true) {
        if (!(words >> argument)) return ServeRuleError{behaviour + " wants a value"};
        // An hour is longer than any client waits; the bound keeps a typo from parking a thread forever.
        constexpr int kLongestDelayMs = 3'600'000;
        if (behaviour == "delay") {
            std::optional<int> delay_ms = Number(argument, 0, kLongestDelayMs);
            if (!delay_ms) return ServeRuleError{"delay wants milliseconds from 0 to 3600000"};
            rule.delay_ms = *delay_ms;
        } else if (behaviour == "status") {
            std::optional<int> status = Number(argument, 100, 599);
            if (!status) return ServeRuleError{"status wants an HTTP status from 100 to 599"};
            rule.status = *status;
        } else if (behaviour == "redirect") {
            rule.redirect = argument;
        } else {
            return ServeRuleError{"unknown behaviour '" + behaviour + "' (delay, status or redirect)"};
        }
    }
    if (!any) return ServeRuleError{"a rule wants a behaviour: delay MS, status CODE or redirect TARGET"};
    if (!rule.redirect.empty() && rule.status != 0 && (rule.status < 300 || rule.status > 399)) {
        return ServeRuleError{"a redirect's status must be 3xx"};
    }
    return std::pair{path, rule};
}

bool ServeRules::Add(std::string_view line, std::string& error) {
    auto parsed = ParseServeRule(line);
    if (auto* bad = std::get_if<ServeRuleError>(&parsed)) {
        error = bad->text;
        return false;
    }
    if (auto* rule = std::get_if<std::pair<std::string, ServeRule>>(&parsed))
        rules_[rule->first] = rule->second;
    return true;
}

bool ServeRules::AddLines(std::string_view text, std::string& error) {
    ServeRules added = *this;
    std::istringstream lines{std::string(text)};
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!added.Add(line, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    *this = std::move(added);
    return true;
}

ServeRule ServeRules::For(const std::string& path) const {
    auto own = rules_.find(path);
    if (own != rules_.end()) return own->second;
    auto every = rules_.find("*");
    return every != rules_.end() ? every->second : ServeRule{};
}

}  // namespace qf::emu
