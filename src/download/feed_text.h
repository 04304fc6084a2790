// How the feed update prepares a parsed feed's texts for storage: cleaned titles and links, the item
// key, dates, the split over two columns, text chunks and keyword matching. Pure functions; any thread.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "parse/date_time.h"

namespace qf {

// Titles (channel and item): entities decoded twice, markup stripped; past 255 characters the first
// 252 and "...".
std::u16string CleanTitle(std::u16string_view title);
// The channel link: its first 255 characters, entities decoded, CDATA opened.
std::u16string CleanChannelLink(std::u16string_view link);
// An item link: entities decoded, CDATA opened; past 510 characters the first 507 and "...".
std::u16string CleanItemLink(std::u16string_view link);
// The channel description as stored: past 510 characters the first 507 and "...".
std::u16string ShortenDescription(std::u16string_view description);
// An item's identity in FeedItems.GUID: its guid, else its date text, else its cleaned link; at most
// 255 characters.
std::u16string ItemKey(std::u16string_view guid, std::u16string_view date, std::u16string_view clean_link);

// The GMT time a feed date text stands for: the current GMT time for an empty text, else what the
// platform's date parser (VarDateFromStr) reads, else the feed date parser's reading.
DateTime ItemDate(std::u16string_view text);
// `time` as a SYSTEMTIME; the current GMT time when it lies outside what a SYSTEMTIME can carry.
SYSTEMTIME StoredDate(const DateTime& time);

// The text's pieces of at most 31999 characters, in order; none for an empty text.
std::vector<std::u16string_view> TextChunks(std::u16string_view text);

// Whether any keyword of a view's keyword list (split at commas, trimmed, empty pieces skipped, any
// letter case) occurs in the lower-cased description or title.
bool MatchesKeywords(std::u16string_view keywords, std::u16string_view lower_description,
                     std::u16string_view lower_title);

}  // namespace qf
