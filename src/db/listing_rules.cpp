#include "db/listing_rules.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace qf {
namespace {

constexpr long long kSecondsPerDay = 86400;

FILETIME AsFileTime(const SYSTEMTIME& time) {
    FILETIME file_time{};
    SystemTimeToFileTime(&time, &file_time);
    return file_time;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

constexpr size_t npos = std::u16string_view::npos;

}  // namespace

bool IsItemListed(std::int16_t status, bool hide_read, std::int16_t hide_after_days, long long age_seconds) {
    if (status == kItemRead && hide_read) return false;
    if (hide_after_days > 0 && age_seconds / kSecondsPerDay > hide_after_days) return false;
    return true;
}

long long SecondsBetween(const SYSTEMTIME& then, const SYSTEMTIME& now) {
    // A NULL date reads as an all-zero SYSTEMTIME, which names no day at all.
    auto is_day = [](const SYSTEMTIME& time) {
        return time.wMonth >= 1 && time.wMonth <= 12 && time.wDay >= 1;
    };
    if (!is_day(then) || !is_day(now)) return 0;
    DATE then_date = 0, now_date = 0;
    if (!SystemTimeToVariantTime(&then, &then_date) || !SystemTimeToVariantTime(&now, &now_date)) return 0;
    return std::llround((now_date - then_date) * kSecondsPerDay);
}

ViewQuota::ViewQuota(int num_to_show, int feed_count)
    : num_to_show_(num_to_show), per_feed_(feed_count > 0 ? num_to_show / feed_count : 0) {}

ViewQuota::Next ViewQuota::Count() {
    ++feed_count_;
    if (feed_count_ == per_feed_) return Next::kNextFeed;
    ++total_;
    return total_ == num_to_show_ ? Next::kStop : Next::kSameFeed;
}

void SortNewestFirst(std::vector<ItemRecord>& items) {
    std::vector<FILETIME> dates;
    dates.reserve(items.size());
    for (const ItemRecord& item : items) dates.push_back(AsFileTime(item.item_date));
    for (size_t i = 0; i < items.size(); ++i) {
        for (size_t j = i + 1; j < items.size(); ++j) {
            if (CompareFileTime(&dates[i], &dates[j]) < 0) {
                std::swap(items[i], items[j]);
                std::swap(dates[i], dates[j]);
            }
        }
    }
}

std::u16string SafeNameSegment(std::u16string_view text) {
    std::u16string name;
    name.reserve(std::min(text.size(), kMaxNameSegment));
    for (char16_t c : text) {
        if (name.size() == kMaxNameSegment) break;
        if (name.empty() && IsBlank(c)) continue;
        bool reserved = c < 0x20 || c == 0x7F || std::u16string_view(u"/\\:*?\"<>|").find(c) != npos;
        name.push_back(reserved ? u'_' : c);
    }
    // A cut may have split a surrogate pair.
    if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
    while (!name.empty() && (name.back() == u'.' || IsBlank(name.back()))) name.pop_back();
    return name.empty() ? u"_" : name;
}

std::u16string AudioFolderPath(const std::u16string& audio_folder, std::u16string_view folder_name) {
    return audio_folder + u"\\" + SafeNameSegment(folder_name);
}

std::u16string AudioFilePath(const std::u16string& audio_folder, const AudioRecord& record) {
    size_t cut = record.link.find_last_of(u'\\');
    if (cut == std::u16string::npos) cut = record.link.find_last_of(u'/');
    std::u16string_view link = record.link;
    std::u16string_view file = cut == std::u16string::npos ? link : link.substr(cut + 1);
    return AudioFolderPath(audio_folder, record.folder_name) + u"\\" + SafeNameSegment(file);
}

std::vector<std::u16string> SplitKeywords(std::u16string_view keywords) {
    std::vector<std::u16string> pieces;
    size_t start = 0;
    while (start <= keywords.size()) {
        size_t comma = keywords.find(u',', start);
        if (comma == std::u16string_view::npos) comma = keywords.size();
        std::u16string_view piece = keywords.substr(start, comma - start);
        while (!piece.empty() && IsBlank(piece.front())) piece.remove_prefix(1);
        while (!piece.empty() && IsBlank(piece.back())) piece.remove_suffix(1);
        if (!piece.empty()) pieces.emplace_back(piece);
        start = comma + 1;
    }
    return pieces;
}

}  // namespace qf
