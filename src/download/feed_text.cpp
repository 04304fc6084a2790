#include "download/feed_text.h"

#include <win/oleauto.h>

#include "db/listing_rules.h"
#include "parse/dates.h"
#include "parse/text_cleanup.h"
#include "parse/wide_text.h"

namespace qf {
namespace {

constexpr size_t kColumnLength = 255;
constexpr size_t kTwoColumnLength = 510;
constexpr size_t kChunkLength = 31999;

// Past `limit` characters: the first limit - 3 and "...".
std::u16string Shorten(std::u16string text, size_t limit) {
    if (text.size() <= limit) return text;
    text.resize(limit - 3);
    return text + u"...";
}

}  // namespace

std::u16string CleanTitle(std::u16string_view title) {
    return Shorten(StripMarkup(DecodeEntities(DecodeEntities(title))), kColumnLength);
}

std::u16string CleanChannelLink(std::u16string_view link) {
    return StripCdata(DecodeEntities(link.substr(0, kColumnLength)));
}

std::u16string CleanItemLink(std::u16string_view link) {
    return Shorten(StripCdata(DecodeEntities(link)), kTwoColumnLength);
}

std::u16string ShortenDescription(std::u16string_view description) {
    return Shorten(std::u16string(description), kTwoColumnLength);
}

std::u16string ItemKey(std::u16string_view guid, std::u16string_view date, std::u16string_view clean_link) {
    std::u16string_view key = !guid.empty() ? guid : !date.empty() ? date : clean_link;
    return std::u16string(key.substr(0, kColumnLength));
}

DateTime ItemDate(std::u16string_view text) {
    if (text.empty()) return NowGmt();
    std::u16string terminated(text);
    DATE ole = 0;
    SYSTEMTIME time{};
    if (SUCCEEDED(VarDateFromStr(terminated.c_str(), LOCALE_USER_DEFAULT, 0, &ole)) &&
        VariantTimeToSystemTime(ole, &time)) {
        return DateTime::FromSystemTime(time);
    }
    return ParseDate(text);
}

SYSTEMTIME StoredDate(const DateTime& time) {
    std::optional<SYSTEMTIME> stored = time.ToSystemTime();
    return stored ? *stored : NowGmtSystemTime();
}

std::vector<std::u16string_view> TextChunks(std::u16string_view text) {
    std::vector<std::u16string_view> chunks;
    for (size_t start = 0; start < text.size(); start += kChunkLength) {
        chunks.push_back(text.substr(start, kChunkLength));
    }
    return chunks;
}

bool MatchesKeywords(std::u16string_view keywords, std::u16string_view lower_description,
                     std::u16string_view lower_title) {
    for (const std::u16string& piece : SplitKeywords(keywords)) {
        std::u16string keyword = text::ToLower(piece);
        if (lower_description.find(keyword) != std::u16string_view::npos) return true;
        if (lower_title.find(keyword) != std::u16string_view::npos) return true;
    }
    return false;
}

}  // namespace qf
