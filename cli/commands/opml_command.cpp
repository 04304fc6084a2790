// `quillfeed opml import FILE [--view ID]` and `quillfeed opml export FILE`: the subscriptions moved in
// from and out to other feed readers as OPML lists.
#include <algorithm>
#include <iostream>
#include <map>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "parse/opml_list.h"

namespace qf::cli {
namespace {

struct OpmlArgs {
    bool yes = false;
    std::string file;
    std::int32_t view = 0;
};

constexpr char16_t kListTitle[] = u"Quillfeed subscriptions";

Expected<std::vector<OpmlFeed>> ReadList(const std::string& argument) {
    DeviceFile file;
    if (Status opened = file.Open(argument, DeviceFile::Use::kRead); !opened) return opened.failure();
    FeedDocument document;
    std::vector<OpmlFeed> feeds;
    if (!document.LoadFile(file.device_path()) || ReadOpmlList(document, feeds) != OpmlListStatus::kOk)
        return Fail("cannot read " + argument + " as an OPML subscription list");
    return feeds;
}

// Adds the view to the views that list an existing feed.
Status JoinView(FeedDatabase& database, std::int32_t feed_id, std::int32_t view_id) {
    DbResult<std::vector<std::int32_t>> views = database.ViewsOfFeed(feed_id);
    if (!views) return Fail("could not read the views of feed " + std::to_string(feed_id));
    if (std::find(views->begin(), views->end(), view_id) != views->end()) return {};
    views->push_back(view_id);
    if (!database.SetFeedViews(feed_id, *views))
        return Fail("could not add feed " + std::to_string(feed_id) + " to the view");
    return {};
}

// A feed whose address the device has already is not added again (only joined to the view), so importing
// a list twice adds nothing.
CommandResult RunImport(CommandContext& context, DatabaseSession& session, const OpmlArgs& args) {
    Expected<std::vector<OpmlFeed>> listed = ReadList(args.file);
    if (!listed) return listed.failure();
    FeedDatabase& database = session.database();
    if (args.view != 0 && !database.LoadView(args.view)) return Fail("no view " + std::to_string(args.view));

    DatabaseLock lock(database);
    if (!lock.held() || !session.model().LoadFeeds()) return Fail("could not read the feeds");
    std::map<std::u16string, std::int32_t> known;
    for (const FeedEntry& entry : session.model().feeds()) known.emplace(entry.feed_url, entry.feed_id);
    nlohmann::json added = nlohmann::json::array();
    nlohmann::json skipped = nlohmann::json::array();
    for (const OpmlFeed& item : *listed) {
        if (auto existing = known.find(item.xml_url); existing != known.end()) {
            if (args.view != 0) {
                if (Status joined = JoinView(database, existing->second, args.view); !joined)
                    return joined.failure();
            }
            skipped.push_back(WideToUtf8(item.xml_url));
            continue;
        }
        FeedRecord feed = NewFeedRecord();
        feed.feed_url = item.xml_url;
        feed.title = item.title;
        feed.link_url = item.html_url;
        feed.description = item.description;
        if (!database.AddFeed(feed, args.view, 0))
            return Fail("could not add the feed " + WideToUtf8(item.xml_url));
        added.push_back(
            {{"id", feed.feed_id}, {"title", WideToUtf8(feed.title)}, {"url", WideToUtf8(feed.feed_url)}});
    }
    session.MarkChanged();
    return Reply(context, {{"added", added}, {"existing", skipped}, {"viewId", args.view}},
                 [&](std::ostream& out) {
                     out << "Imported " << added.size() << " feeds from " << args.file;
                     if (!skipped.empty()) out << " (" << skipped.size() << " already subscribed)";
                     out << '\n';
                 });
}

CommandResult RunExport(CommandContext& context, DatabaseSession& session, const OpmlArgs& args) {
    DatabaseLock lock(session.database());
    if (!lock.held() || !session.model().LoadFeeds()) return Fail("could not read the feeds");
    std::vector<OpmlFeed> feeds;
    for (const FeedEntry& entry : session.model().feeds()) {
        DbResult<FeedRecord> feed = session.database().LoadFeed(entry.feed_id);
        if (!feed) return Fail("could not read feed " + std::to_string(entry.feed_id));
        feeds.push_back({feed->title, feed->feed_url, feed->link_url, feed->description});
    }
    std::string text = WriteOpmlList(kListTitle, feeds);
    DeviceFile file;
    if (Status opened = file.Open(args.file, DeviceFile::Use::kWrite); !opened) return opened.failure();
    CFile written;
    if (!written.Open(file.device_path().c_str(), CFile::modeCreate | CFile::modeWrite) ||
        !written.Write(text.data(), static_cast<UINT>(text.size())))
        return Fail("cannot write " + args.file);
    written.Close();
    if (Status finished = file.Finish(); !finished) return finished.failure();
    return Reply(context, {{"file", args.file}, {"feeds", feeds.size()}}, [&](std::ostream& out) {
        out << "Wrote " << feeds.size() << " feeds to " << args.file << '\n';
    });
}

}  // namespace

void AddOpmlCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<OpmlArgs>();
    CLI::App* opml = app.add_subcommand("opml", "Move subscriptions in from and out to other feed readers");
    opml->require_subcommand(1);
    AddYesOption(*opml, args->yes);
    const char* file_help = "OPML file: \\path on the device, or a file of this computer";

    CLI::App* import_command =
        opml->add_subcommand("import", "Add every feed an OPML list names (folders included)");
    import_command->add_option("file", args->file, file_help)->required();
    import_command->add_option("--view", args->view, "Also list the new feeds in this view");
    import_command->callback(SessionAction(context, args, RunImport));

    CLI::App* export_command = opml->add_subcommand("export", "Write the feeds as an OPML 2.0 list");
    export_command->add_option("file", args->file, file_help)->required();
    export_command->callback(SessionAction(context, args, RunExport));
}

}  // namespace qf::cli
