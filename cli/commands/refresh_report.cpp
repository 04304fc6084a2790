#include "commands/refresh_report.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <map>

#include "command_context.h"
#include "windows.h"

namespace qf::cli {
namespace {

constexpr size_t kLineWidth = 79;

struct FeedOutcomeText {
    std::string outcome;  // "new items", "unchanged", "failed", "not fetched"
    std::string detail;   // why it failed, or how it was found unchanged
};

FeedOutcomeText OutcomeOf(const EntryReport& report) {
    if (report.result == kEntryFetchFailed) return {"failed", WideToUtf8(DescribeFetchFailure(report.fetch))};
    const FeedUpdateReport& update = report.update;
    switch (update.outcome) {
        case FeedOutcome::kStored:
            return update.new_items > 0 ? FeedOutcomeText{"new items", ""}
                                        : FeedOutcomeText{"unchanged", "no new items"};
        case FeedOutcome::kSameDigest:
            return {"unchanged", "same file"};
        case FeedOutcome::kSameFeedDate:
            return {"unchanged", "same feed date"};
        case FeedOutcome::kNotAFeed: {
            std::string why = update.parse_status == FeedParseStatus::kUnknownFormat
                                  ? "not a known feed format"
                                  : "not XML";
            if (report.fetch.http_status != 0 && report.fetch.http_status != 200) {
                why += " (HTTP " + std::to_string(report.fetch.http_status) + ")";
            }
            return {"failed", why};
        }
        case FeedOutcome::kDatabaseFailed:
            break;
    }
    return {"failed", "database error"};
}

const char* EndText(LPARAM end) {
    switch (end) {
        case kRunCancelled:
            return "cancelled";
        case kRunNetworkLost:
            return "network lost";
        default:
            return "completed";
    }
}

}  // namespace

RunProgress::RunProgress(const Downloader& downloader, ProgressLine line)
    : downloader_(downloader), show_line_(line == ProgressLine::kOnTerminal && isatty(STDERR_FILENO)) {}

void RunProgress::NoteEntries(const std::vector<DownloadEntry>& entries) {
    for (const DownloadEntry& entry : entries) {
        if (entry.kind() == EntryKind::kFeed) feeds_.push_back(entry);
    }
}

void RunProgress::OnStatus(DownloadStatus status, LPARAM value) {
    switch (status) {
        case kStatusRunStarted:
            total_ = static_cast<int>(value);
            done_ = 0;
            break;
        case kStatusListGrew:
            total_ = static_cast<int>(value);
            break;
        case kStatusFetchBegins:
            ++done_;
            ShowLine("Downloading");
            break;
        case kStatusStoringBegins:
            ShowLine("Processing");
            break;
        case kStatusRunEnded:
            end_ = value;
            if (show_line_) std::cerr << "\r\033[K" << std::flush;
            break;
        default:
            break;
    }
}

void RunProgress::ShowLine(const char* verb) {
    if (!show_line_) return;
    std::string line = std::string(verb) + " (" + std::to_string(done_) + " of " + std::to_string(total_) +
                       ") " + WideToUtf8(downloader_.current_title());
    if (line.size() > kLineWidth) line.resize(kLineWidth);
    std::cerr << "\r\033[K" << line << std::flush;
}

void RunProgress::Print(bool json, const std::vector<EntryReport>& reports, long long elapsed_ms) const {
    std::map<std::int32_t, const EntryReport*> by_feed;
    int pages_stored = 0, pages_failed = 0, audio_stored = 0, audio_failed = 0, new_items = 0;
    for (const EntryReport& report : reports) {
        bool ok = report.result == kEntryStored;
        switch (report.entry.kind()) {
            case EntryKind::kFeed:
                by_feed[report.entry.feed_id] = &report;
                new_items += report.update.new_items;
                break;
            case EntryKind::kPage:
                ++(ok ? pages_stored : pages_failed);
                break;
            case EntryKind::kAudio:
                ++(ok ? audio_stored : audio_failed);
                break;
        }
    }
    nlohmann::json feeds = nlohmann::json::array();
    std::map<std::string, int> counts;
    std::vector<std::string> failures;
    for (const DownloadEntry& entry : feeds_) {
        auto found = by_feed.find(entry.feed_id);
        FeedOutcomeText outcome = found != by_feed.end() ? OutcomeOf(*found->second)
                                                         : FeedOutcomeText{"not fetched", EndText(end_)};
        int items = found != by_feed.end() ? found->second->update.new_items : 0;
        ++counts[outcome.outcome];
        nlohmann::json feed = {{"id", entry.feed_id},
                               {"title", WideToUtf8(entry.title)},
                               {"url", WideToUtf8(entry.url)},
                               {"outcome", outcome.outcome},
                               {"newItems", items}};
        if (!outcome.detail.empty()) feed[outcome.outcome == "failed" ? "reason" : "detail"] = outcome.detail;
        feeds.push_back(feed);
        if (outcome.outcome == "failed") {
            failures.push_back("failed: " + WideToUtf8(entry.title) + " <" + WideToUtf8(entry.url) +
                               ">: " + outcome.detail);
        }
    }
    if (json) {
        PrintJson({{"ok", true},
                   {"result", end_},
                   {"resultText", EndText(end_)},
                   {"elapsedMs", elapsed_ms},
                   {"newItems", new_items},
                   {"feeds", feeds},
                   {"pages", {{"stored", pages_stored}, {"failed", pages_failed}}},
                   {"audio", {{"stored", audio_stored}, {"failed", audio_failed}}}});
        return;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", static_cast<double>(elapsed_ms) / 1000.0);
    std::cout << "Refresh " << EndText(end_) << " in " << seconds << " s: " << feeds_.size() << " feeds, "
              << new_items << " new items";
    for (const char* kind : {"unchanged", "failed", "not fetched"}) {
        if (counts[kind] > 0) std::cout << ", " << counts[kind] << " " << kind;
    }
    if (pages_stored + pages_failed > 0) std::cout << ", " << pages_stored << " pages";
    if (audio_stored + audio_failed > 0) std::cout << ", " << audio_stored << " audio files";
    std::cout << '\n';
    for (const std::string& failure : failures) std::cout << "  " << failure << '\n';
}

}  // namespace qf::cli
