// What a feed entry of a run came to, in a user's words, and the record of it kept in the settings so
// that `quillfeed status` can show each feed's last result and its run of failures, whichever program
// (the item or the command line) ran the download.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/settings_store.h"
#include "download/downloader.h"

namespace qf {

enum class FeedResultKind { kNewItems, kUnchanged, kFailed };

struct FeedResult {
    FeedResultKind kind = FeedResultKind::kFailed;
    std::u16string detail;  // why it failed ("HTTP 404", "not XML"), or how it was unchanged ("same file")
};

// The result of a finished feed entry. Any thread.
FeedResult DescribeFeedResult(const EntryReport& report);
// "new items", "unchanged", "failed".
const char16_t* FeedResultName(FeedResultKind kind);

// The stored record of a feed's last download attempt.
struct FeedResultRecord {
    std::u16string result;  // FeedResultName of the last attempt
    std::u16string detail;
    LONG failures = 0;              // failed attempts in a row, 0 after a success
    long long attempt_seconds = 0;  // seconds since 2001 (local) of the last attempt
};

// Writes FeedResults\<feed id>: the result, its detail, the failures in a row and the time. Any thread
// (`settings` used by one thread at a time).
void RecordFeedResult(SettingsStore& settings, std::int32_t feed_id, const FeedResult& result,
                      long long now_seconds);
// The record of `feed_id`, or nothing when no attempt was recorded.
std::optional<FeedResultRecord> ReadFeedResult(const SettingsStore& settings, std::int32_t feed_id);

}  // namespace qf
