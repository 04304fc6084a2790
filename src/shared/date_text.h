// The text forms of datetime values in the database file. Every datetime column holds SQLite's canonical
// "YYYY-MM-DD HH:MM:SS", which sorts chronologically as text and reads cleanly in sqlite3; the statements
// of the database code also quote dates as "MM/DD/YYYY HH:MM", which reading accepts as well.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace qf {

// "YYYY-MM-DD HH:MM:SS" of an OLE date, rounded to the nearest second; nullopt when out of range.
std::optional<std::u16string> FormatDateText(DATE value);

// The OLE date of "YYYY-MM-DD[( |T)HH:MM[:SS]]" or "M/D/YYYY[ HH:MM[:SS]]" (surrounding blanks allowed);
// nullopt for any other text or an impossible date.
std::optional<DATE> ParseDateText(std::u16string_view text);

}  // namespace qf
