// How `quillfeed-emu serve` answers particular paths: rules of one line each, "PATH BEHAVIOUR...", where
// PATH is a request path ("/feeds/news.xml") or "*" for every path without a rule of its own, and the
// behaviours are any of
//   delay MS          wait MS milliseconds before answering
//   status CODE       answer CODE (100-599) with a short text instead of the file
//   redirect TARGET   answer 302 (or the status given) with Location TARGET
// e.g. "/slow.xml delay 2000", "/gone.xml status 410", "/old.xml redirect /new.xml status 301".
// Blank lines and lines starting with '#' are skipped.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace qf::emu {

struct ServeRule {
    int delay_ms = 0;
    int status = 0;        // 0: the file's own status (200, or 404 when missing)
    std::string redirect;  // empty: no redirect
};

struct ServeRuleError {
    std::string text;
};

// Any thread. The path and rule of one line; nullopt for a blank or comment line.
std::variant<std::nullopt_t, std::pair<std::string, ServeRule>, ServeRuleError> ParseServeRule(
    std::string_view line);

// A set of rules by path; a later rule for the same path replaces the earlier one. Not thread-safe.
class ServeRules {
  public:
    // Adds the rule of `line`; false with `error` ("...") set when the line is malformed.
    bool Add(std::string_view line, std::string& error);
    // Adds every line of `text`; false with `error` naming the line number of the first bad one, in
    // which case nothing of `text` is added.
    bool AddLines(std::string_view text, std::string& error);
    // The rule for `path`: its own, else the "*" rule, else the default (serve the file at once).
    ServeRule For(const std::string& path) const;

  private:
    std::map<std::string, ServeRule, std::less<>> rules_;
};

}  // namespace qf::emu
