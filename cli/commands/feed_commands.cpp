// `quillfeed feeds` and `quillfeed feed add|update|status|clear|delete`.
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "parse/dates.h"

namespace qf::cli {
namespace {

struct FeedArgs {
    bool yes = false;
    std::int32_t id = 0;
    std::string url;
    std::optional<std::string> title, new_url;
    std::int32_t view = 0;
    std::optional<int> priority, max_items, read_after, reload, status;
    int new_status = 0;
    bool extended_data = false, no_extended_data = false;
    bool extended_audio = false, no_extended_audio = false;
};

Status ApplyOptions(const FeedArgs& args, FeedRecord& feed) {
    if (args.new_url) feed.feed_url = Utf8ToWide(*args.new_url);
    if (args.extended_data) feed.extended_data = true;
    if (args.no_extended_data) feed.extended_data = false;
    if (args.extended_audio) feed.extended_audio = true;
    if (args.no_extended_audio) feed.extended_audio = false;
    return FirstFailure({SetSmall(args.priority, feed.priority, "--priority"),
                         SetSmall(args.max_items, feed.max_items, "--max-items"),
                         SetSmall(args.read_after, feed.read_after, "--read-after"),
                         SetSmall(args.reload, feed.reload_frequency, "--reload"),
                         SetSmall(args.status, feed.status, "--status")});
}

nlohmann::json Describe(FeedDatabase& database, const FeedRecord& feed) {
    nlohmann::json json = ToJson(feed);
    json["views"] = database.ViewsOfFeed(feed.feed_id).value_or({});
    json["unread"] = database.CountFeedItems(feed.feed_id, ItemCount::kUnread).value_or(-1);
    json["items"] = database.CountFeedItems(feed.feed_id, ItemCount::kAll).value_or(-1);
    return json;
}

CommandResult ReplyFeed(const CommandContext& context, FeedDatabase& database, std::int32_t feed_id,
                        const char* verb) {
    DbResult<FeedRecord> feed = database.LoadFeed(feed_id);
    if (!feed) return Fail("could not read feed " + std::to_string(feed_id));
    return Reply(context, {{"feed", Describe(database, *feed)}}, [&](std::ostream& out) {
        out << verb << " feed " << feed_id << " \"" << WideToUtf8(feed->title) << "\" "
            << WideToUtf8(feed->feed_url) << '\n';
    });
}

CommandResult RunList(CommandContext& context, DatabaseSession& session, const FeedArgs&) {
    if (!session.model().LoadFeeds()) return Fail("could not read the feeds");
    nlohmann::json feeds = nlohmann::json::array();
    for (const FeedEntry& entry : session.model().feeds()) {
        if (DbResult<FeedRecord> feed = session.database().LoadFeed(entry.feed_id)) {
            feeds.push_back(Describe(session.database(), *feed));
        }
    }
    return Reply(context, {{"feeds", feeds}}, [&](std::ostream& out) {
        for (const auto& feed : feeds) {
            out << feed["id"] << "  " << feed["title"].get<std::string>() << "  "
                << feed["url"].get<std::string>() << "  (status " << feed["status"] << ", priority "
                << feed["priority"] << ", " << feed["unread"] << " unread of " << feed["items"] << ")\n";
        }
    });
}

CommandResult RunAdd(CommandContext& context, DatabaseSession& session, const FeedArgs& args) {
    if (args.view != 0 && !session.database().LoadView(args.view))
        return Fail("no view " + std::to_string(args.view));
    FeedRecord feed = NewFeedRecord();
    feed.feed_url = Utf8ToWide(args.url);
    feed.title = args.title ? Utf8ToWide(*args.title) : feed.feed_url;
    if (Status applied = ApplyOptions(args, feed); !applied) return applied.failure();
    if (!session.database().AddFeed(feed, args.view, 0)) return Fail("could not add the feed");
    session.MarkChanged();
    return ReplyFeed(context, session.database(), feed.feed_id, "Added");
}

CommandResult RunUpdate(CommandContext& context, DatabaseSession& session, const FeedArgs& args) {
    DbResult<FeedRecord> feed = session.database().LoadFeed(args.id);
    if (!feed) return Fail("no feed " + std::to_string(args.id));
    if (Status applied = ApplyOptions(args, *feed); !applied) return applied.failure();
    if (!session.database().UpdateFeedRecord(*feed)) return Fail("could not update the feed");
    session.MarkChanged();
    return ReplyFeed(context, session.database(), args.id, "Updated");
}

// The feed operations that take only the id (and a status). `change` fails for a bad argument.
CommandResult RunChange(CommandContext& context, DatabaseSession& session, const FeedArgs& args,
                        const char* verb, Expected<DbStatus> (*change)(FeedDatabase&, const FeedArgs&)) {
    if (!session.database().LoadFeed(args.id)) return Fail("no feed " + std::to_string(args.id));
    Expected<DbStatus> changed = change(session.database(), args);
    if (!changed) return changed.failure();
    if (!*changed) return Fail(std::string("could not ") + verb + " feed " + std::to_string(args.id));
    session.MarkChanged();
    return Reply(context, {{"id", args.id}},
                 [&](std::ostream& out) { out << "Feed " << args.id << ": " << verb << " done\n"; });
}

CommandResult RunStatus(CommandContext& context, DatabaseSession& session, const FeedArgs& args) {
    return RunChange(context, session, args, "set the status of",
                     [](FeedDatabase& db, const FeedArgs& a) -> Expected<DbStatus> {
                         std::int16_t status = 0;
                         if (Status fits = SetSmall(a.new_status, status, "status"); !fits)
                             return fits.failure();
                         return db.SetFeedStatus(a.id, status);
                     });
}
CommandResult RunClear(CommandContext& context, DatabaseSession& session, const FeedArgs& args) {
    return RunChange(
        context, session, args, "clear",
        [](FeedDatabase& db, const FeedArgs& a) -> Expected<DbStatus> { return db.ClearFeed(a.id); });
}
CommandResult RunDelete(CommandContext& context, DatabaseSession& session, const FeedArgs& args) {
    return RunChange(
        context, session, args, "delete",
        [](FeedDatabase& db, const FeedArgs& a) -> Expected<DbStatus> { return db.DeleteFeed(a.id); });
}

void AddFeedOptions(CLI::App& command, FeedArgs& args) {
    command.add_option("--priority", args.priority, "Priority (larger first)");
    command.add_option("--max-items", args.max_items, "Most items kept");
    command.add_option("--read-after", args.read_after, "Days after which items count as read (stored only)");
    command.add_option("--reload", args.reload, "Reload frequency (stored only)");
    command.add_flag("--extended-data", args.extended_data, "Download each item's page too");
    command.add_flag("--extended-audio", args.extended_audio, "Download audio enclosures");
}

}  // namespace

void AddFeedCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<FeedArgs>();

    CLI::App* feeds = app.add_subcommand("feeds", "List the feeds with their settings and item counts");
    AddYesOption(*feeds, args->yes);
    feeds->callback(SessionAction(context, args, RunList));

    CLI::App* feed = app.add_subcommand("feed", "Add, change, clear and delete feeds");
    feed->require_subcommand(1);
    AddYesOption(*feed, args->yes);

    CLI::App* add = feed->add_subcommand("add", "Add a feed");
    add->add_option("url", args->url, "The feed's address")->required();
    add->add_option("--title", args->title, "Title until the first download (default: the address)");
    add->add_option("--view", args->view, "Also list the feed in this view");
    AddFeedOptions(*add, *args);
    add->callback(SessionAction(context, args, RunAdd));

    CLI::App* update = feed->add_subcommand("update", "Change a feed's settings");
    update->add_option("id", args->id, "Feed id")->required();
    update->add_option("--url", args->new_url, "New address");
    update->add_option("--status", args->status, "Status (1 feed list only, 2 active)");
    AddFeedOptions(*update, *args);
    update->add_flag("--no-extended-data", args->no_extended_data, "Stop downloading item pages");
    update->add_flag("--no-extended-audio", args->no_extended_audio, "Stop downloading audio");
    update->callback(SessionAction(context, args, RunUpdate));

    CLI::App* status =
        feed->add_subcommand("status", "Set a feed's status (0 deleted, 1 feed list only, 2 active)");
    status->add_option("id", args->id, "Feed id")->required();
    status->add_option("status", args->new_status, "New status")->required();
    status->callback(SessionAction(context, args, RunStatus));

    CLI::App* clear = feed->add_subcommand("clear", "Delete a feed's items and make it download afresh");
    clear->add_option("id", args->id, "Feed id")->required();
    clear->callback(SessionAction(context, args, RunClear));

    CLI::App* remove = feed->add_subcommand("delete", "Delete a feed with its items and audio files");
    remove->add_option("id", args->id, "Feed id")->required();
    remove->callback(SessionAction(context, args, RunDelete));
}

}  // namespace qf::cli
