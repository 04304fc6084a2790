// The shared database file's layout: the statements that create its tables and indexes, the version and
// default rows, and the table order of a copy. The main application reads the same file, so the column
// order and coded values here are a format, not a choice.
#pragma once

#include <array>
#include <string>

namespace qf::schema {

// The version this code writes and expects, and the only older one it can upgrade.
inline constexpr char16_t kCurrentVersion[] = u"2.0";
inline constexpr char16_t kUpgradableVersion[] = u"1.0";

// The eleven CREATE TABLE statements, in creation order.
extern const std::array<const char16_t*, 11> kCreateTables;
// The nine CREATE INDEX statements, created after the tables in this order.
extern const std::array<const char16_t*, 9> kCreateIndexes;
// Indexes of this engine beside the nine of the shared schema, made wherever a file is created, upgraded
// or compacted: the feed update looks a feed's items up by key, which the nine do not cover.
extern const std::array<const char16_t*, 1> kEngineIndexes;
// The tables a compaction copies, in copy order (every table but VersionInfo).
extern const std::array<const char16_t*, 10> kCopiedTables;

// Identifiers and markers of the default views.
inline constexpr int kWhatsNewViewId = 1;
inline constexpr int kSearchResultsViewId = 2;
inline constexpr char16_t kWhatsNewKeywords[] = u"---specialwhatsnew---";

// "Insert Into VersionInfo(...) Values(1,'<version>','Thornbeckvale','<date literal>')".
std::u16string VersionInsert(const std::u16string& version, const std::u16string& date_literal);
// The Views insert of default view 1 (What's New) or 2 (Search Results) with `date_literal`.
std::u16string DefaultViewInsert(int view_id, const std::u16string& date_literal);
// The current UTC time in the quoted-date form of the statements: "MM/DD/YYYY HH:MM".
std::u16string NowDateLiteral();

}  // namespace qf::schema
