// `quillfeed status [--json]`: the screen a user wants first: the views with their item counts, the
// feeds with their last download and last result, the last refresh and the next scheduled download.
#include <cstdio>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "common/settings_store.h"
#include "download/download_schedule.h"
#include "download/download_status.h"
#include "download/feed_result.h"
#include "parse/dates.h"
#include "parse/wide_text.h"

namespace qf::cli {
namespace {

struct StatusArgs {};

// "YYYY-MM-DD HH:MM" of a device-local time given as seconds since 2001.
std::string LocalText(long long seconds_since_2001) {
    DateTime::Fields when = DateTime::FromFields(2001, 1, 1).AddSeconds(seconds_since_2001).ToFields();
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d", static_cast<long long>(when.year),
                  when.month, when.day, when.hour, when.minute);
    return text;
}

const char* ReasonName(DueReason reason) {
    switch (reason) {
        case DueReason::kTime:
            return "time of day";
        case DueReason::kAudioTime:
            return "audio time";
        case DueReason::kInterval:
            return "interval";
        default:
            return "pass-through";
    }
}

const char* DownloadStateName(LONG background_status) {
    switch (background_status) {
        case kBackgroundIdle:
            return "idle";
        case kBackgroundRunning:
            return "running";
        default:
            return "cancel requested";
    }
}

Expected<nlohmann::json> ViewsJson(DatabaseSession& session) {
    if (!session.model().LoadViews()) return Fail("could not read the views");
    nlohmann::json views = nlohmann::json::array();
    for (const ViewEntry& view : session.model().views()) {
        views.push_back(
            {{"id", view.view_id},
             {"label", WideToUtf8(view.label)},
             {"items", session.database().CountViewItems(view.view_id, ItemCount::kAll).value_or(-1)},
             {"unread", session.database().CountViewItems(view.view_id, ItemCount::kUnread).value_or(-1)}});
    }
    return views;
}

Expected<nlohmann::json> FeedsJson(DatabaseSession& session) {
    if (!session.model().LoadFeeds()) return Fail("could not read the feeds");
    nlohmann::json feeds = nlohmann::json::array();
    for (const FeedEntry& entry : session.model().feeds()) {
        DbResult<FeedRecord> feed = session.database().LoadFeed(entry.feed_id);
        if (!feed) continue;
        nlohmann::json json = {
            {"id", feed->feed_id},
            {"title", WideToUtf8(feed->title)},
            {"url", WideToUtf8(feed->feed_url)},
            {"items", session.database().CountFeedItems(feed->feed_id, ItemCount::kAll).value_or(-1)},
            {"lastDownload", DateText(feed->last_download_date)},
            {"lastResult", nullptr},
            {"failures", 0}};
        if (std::optional<FeedResultRecord> result = ReadFeedResult(AppSettings(), feed->feed_id)) {
            json["lastResult"] = WideToUtf8(result->result);
            json["detail"] = WideToUtf8(result->detail);
            json["failures"] = result->failures;
            json["lastAttempt"] = LocalText(result->attempt_seconds);
        }
        feeds.push_back(json);
    }
    return feeds;
}

nlohmann::json ScheduleJson() {
    SettingsStore& settings = AppSettings();
    ScheduleConfig config = ReadScheduleConfig(settings);
    ScheduleCheck now = ReadScheduleCheck(settings, config, false);
    nlohmann::json schedule = {{"onPassThrough", config.start_on_pass_through},
                               {"frequencyMinutes", now.frequency},
                               {"next", nullptr}};
    if (std::optional<NextDownload> next = NextScheduledDownload(config, now)) {
        // The scan counts from the start of the current minute.
        long long at = now.seconds_since_2001 - now.seconds_since_2001 % 60 + 60LL * next->minutes_ahead;
        schedule["next"] = {{"at", LocalText(at)},
                            {"minutesAhead", next->minutes_ahead},
                            {"reason", ReasonName(next->reason)}};
    }
    return schedule;
}

nlohmann::json RefreshJson() {
    SettingsStore& settings = AppSettings();
    long long last = text::LeadingNumber(settings.Read(setting::kBackgroundLastRefresh));
    return {{"last", last > 0 ? nlohmann::json(LocalText(last)) : nlohmann::json(nullptr)},
            {"download", DownloadStateName(settings.Read(setting::kBackgroundStatus))}};
}

void PrintText(const nlohmann::json& status) {
    std::printf("Views\n");
    for (const auto& view : status["views"]) {
        std::printf("  %-10d %-28s %ld items, %ld unread\n", view["id"].get<int>(),
                    view["label"].get<std::string>().c_str(), view["items"].get<long>(),
                    view["unread"].get<long>());
    }
    std::printf("Feeds\n");
    for (const auto& feed : status["feeds"]) {
        std::string last = feed["lastDownload"].get<std::string>();
        std::printf("  %-10d %-28s %ld items, %s", feed["id"].get<int>(),
                    feed["title"].get<std::string>().c_str(), feed["items"].get<long>(),
                    last.empty() ? "never downloaded" : ("downloaded " + last).c_str());
        if (!feed["lastResult"].is_null()) {
            std::string detail = feed["detail"].get<std::string>();
            std::printf("; last: %s%s", feed["lastResult"].get<std::string>().c_str(),
                        detail.empty() ? "" : (" (" + detail + ")").c_str());
            int failures = feed["failures"].get<int>();
            if (failures > 0) std::printf(", %d failure%s in a row", failures, failures == 1 ? "" : "s");
        }
        std::printf("\n");
    }
    const auto& refresh = status["refresh"];
    std::printf("Last refresh: %s (download %s)\n",
                refresh["last"].is_null() ? "never" : refresh["last"].get<std::string>().c_str(),
                refresh["download"].get<std::string>().c_str());
    const auto& next = status["schedule"]["next"];
    if (next.is_null()) {
        std::printf("Next scheduled download: none%s\n",
                    status["schedule"]["onPassThrough"].get<bool>() ? " (only when docked)" : "");
    } else {
        std::printf("Next scheduled download: %s (%s)\n", next["at"].get<std::string>().c_str(),
                    next["reason"].get<std::string>().c_str());
    }
    std::fflush(stdout);
}

CommandResult RunStatus(CommandContext& context, DatabaseSession& session, const StatusArgs&) {
    Expected<nlohmann::json> views = ViewsJson(session);
    if (!views) return views.failure();
    Expected<nlohmann::json> feeds = FeedsJson(session);
    if (!feeds) return feeds.failure();
    nlohmann::json status = {
        {"views", *views}, {"feeds", *feeds}, {"refresh", RefreshJson()}, {"schedule", ScheduleJson()}};
    return Reply(context, status, [&](std::ostream&) { PrintText(status); });
}

}  // namespace

void AddStatusCommand(CLI::App& app, CommandContext& context) {
    CLI::App* status = app.add_subcommand(
        "status", "Views and their items, feeds and their last results, the last and the next download");
    status->callback(SessionAction(context, std::make_shared<StatusArgs>(), RunStatus));
}

}  // namespace qf::cli
