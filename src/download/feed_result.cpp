#include "download/feed_result.h"

#include "parse/wide_text.h"

namespace qf {
namespace {

constexpr char16_t kSectionPrefix[] = u"FeedResults\\";

std::u16string SectionOf(std::int32_t feed_id) {
    return kSectionPrefix + text::FromAscii(std::to_string(feed_id));
}

}  // namespace

FeedResult DescribeFeedResult(const EntryReport& report) {
    if (report.result == kEntryFetchFailed)
        return {FeedResultKind::kFailed, DescribeFetchFailure(report.fetch)};
    const FeedUpdateReport& update = report.update;
    switch (update.outcome) {
        case FeedOutcome::kStored:
            return update.new_items > 0 ? FeedResult{FeedResultKind::kNewItems, u""}
                                        : FeedResult{FeedResultKind::kUnchanged, u"no new items"};
        case FeedOutcome::kSameDigest:
            return {FeedResultKind::kUnchanged, u"same file"};
        case FeedOutcome::kSameFeedDate:
            return {FeedResultKind::kUnchanged, u"same feed date"};
        case FeedOutcome::kNotAFeed: {
            std::u16string why = update.parse_status == FeedParseStatus::kUnknownFormat
                                     ? u"not a known feed format"
                                     : u"not XML";
            // A page of an error status is why the file is no feed.
            if (report.fetch.http_status != 0 && report.fetch.http_status != 200) {
                why += u" (HTTP " + text::FromAscii(std::to_string(report.fetch.http_status)) + u")";
            }
            return {FeedResultKind::kFailed, why};
        }
        case FeedOutcome::kDatabaseFailed:
            break;
    }
    return {FeedResultKind::kFailed, u"database error"};
}

const char16_t* FeedResultName(FeedResultKind kind) {
    switch (kind) {
        case FeedResultKind::kNewItems:
            return u"new items";
        case FeedResultKind::kUnchanged:
            return u"unchanged";
        case FeedResultKind::kFailed:
            break;
    }
    return u"failed";
}

void RecordFeedResult(SettingsStore& settings, std::int32_t feed_id, const FeedResult& result,
                      long long now_seconds) {
    std::u16string section = SectionOf(feed_id);
    LONG failures = 0;
    if (result.kind == FeedResultKind::kFailed) failures = settings.ReadDword(section, u"Failures", 0) + 1;
    settings.WriteString(section, u"Result", FeedResultName(result.kind));
    settings.WriteString(section, u"Detail", result.detail);
    settings.WriteDword(section, u"Failures", failures);
    settings.WriteString(section, u"Attempt", text::FromAscii(std::to_string(now_seconds)));
}

std::optional<FeedResultRecord> ReadFeedResult(const SettingsStore& settings, std::int32_t feed_id) {
    std::u16string section = SectionOf(feed_id);
    FeedResultRecord record;
    record.result = settings.ReadString(section, u"Result", u"");
    if (record.result.empty()) return std::nullopt;
    record.detail = settings.ReadString(section, u"Detail", u"");
    record.failures = settings.ReadDword(section, u"Failures", 0);
    record.attempt_seconds = text::LeadingNumber(settings.ReadString(section, u"Attempt", u"0"));
    return record;
}

}  // namespace qf
