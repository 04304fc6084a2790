// `quillfeed views` and `quillfeed view add|update|feeds|delete|rebuild`.
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "db/schema.h"
#include "parse/dates.h"

namespace qf::cli {
namespace {

struct ViewArgs {
    bool yes = false;
    std::int32_t id = 0;
    std::string label;
    std::optional<std::string> keywords;
    std::optional<int> sort_by, num_to_show, hide_after, read_after, status;
    bool hide_read = false, show_read = false;
    std::vector<std::int32_t> feeds;
    bool title = false, in_keywords = false, text = false;
};

// Applies the options given to `view`.
Status ApplyOptions(const ViewArgs& args, ViewRecord& view) {
    if (args.keywords) view.keywords = Utf8ToWide(*args.keywords);
    view.is_keyword_view = !view.keywords.empty();
    if (args.hide_read) view.hide_read = true;
    if (args.show_read) view.hide_read = false;
    return FirstFailure({SetSmall(args.sort_by, view.sort_by, "--sort-by"),
                         SetSmall(args.num_to_show, view.num_to_show, "--num-to-show"),
                         SetSmall(args.hide_after, view.hide_after, "--hide-after"),
                         SetSmall(args.read_after, view.read_after, "--read-after"),
                         SetSmall(args.status, view.status, "--status")});
}

CommandResult ReplyView(const CommandContext& context, const ViewRecord& view) {
    return Reply(context, {{"view", ToJson(view)}}, [&](std::ostream& out) {
        out << "View " << view.view_id << " \"" << WideToUtf8(view.label) << "\"\n";
    });
}

CommandResult RunList(CommandContext& context, DatabaseSession& session, const ViewArgs&) {
    if (!session.model().LoadViews()) return Fail("could not read the views");
    nlohmann::json views = nlohmann::json::array();
    for (const ViewEntry& entry : session.model().views()) {
        DbResult<ViewRecord> view = session.database().LoadView(entry.view_id);
        if (!view) continue;
        nlohmann::json json = ToJson(*view);
        json["feeds"] = session.database().FeedIdsOfView(entry.view_id).value_or({});
        json["unread"] = session.database().CountViewItems(entry.view_id, ItemCount::kUnread).value_or(-1);
        json["items"] = session.database().CountViewItems(entry.view_id, ItemCount::kAll).value_or(-1);
        views.push_back(json);
    }
    return Reply(context, {{"views", views}}, [&](std::ostream& out) {
        for (const auto& view : views) {
            out << view["id"] << "  " << view["label"].get<std::string>() << "  (" << view["unread"]
                << " unread of " << view["items"] << ", " << view["feeds"].size() << " feeds";
            if (view["keywordView"].get<bool>()) out << ", keywords: " << view["keywords"].get<std::string>();
            out << ")\n";
        }
    });
}

CommandResult RunAdd(CommandContext& context, DatabaseSession& session, const ViewArgs& args) {
    ViewRecord view;
    view.label = Utf8ToWide(args.label);
    if (Status applied = ApplyOptions(args, view); !applied) return applied.failure();
    if (!session.database().AddView(view)) return Fail("could not add the view");
    session.MarkChanged();
    return ReplyView(context, *session.database().LoadView(view.view_id));
}

CommandResult RunUpdate(CommandContext& context, DatabaseSession& session, const ViewArgs& args) {
    DbResult<ViewRecord> view = session.database().LoadView(args.id);
    if (!view) return Fail("no view " + std::to_string(args.id));
    if (Status applied = ApplyOptions(args, *view); !applied) return applied.failure();
    if (!session.database().UpdateViewRecord(*view)) return Fail("could not update the view");
    session.MarkChanged();
    return ReplyView(context, *session.database().LoadView(args.id));
}

CommandResult RunFeeds(CommandContext& context, DatabaseSession& session, const ViewArgs& args) {
    if (!session.database().LoadView(args.id)) return Fail("no view " + std::to_string(args.id));
    for (std::int32_t feed : args.feeds) {
        if (!session.database().LoadFeed(feed)) return Fail("no feed " + std::to_string(feed));
    }
    if (!session.database().SetViewFeeds(args.id, args.feeds)) return Fail("could not set the view's feeds");
    session.MarkChanged();
    return Reply(context,
                 {{"id", args.id}, {"feeds", session.database().FeedIdsOfView(args.id).value_or({})}},
                 [&](std::ostream& out) {
                     out << "View " << args.id << " lists " << args.feeds.size() << " feeds\n";
                 });
}

CommandResult RunDelete(CommandContext& context, DatabaseSession& session, const ViewArgs& args) {
    if (!session.database().LoadView(args.id)) return Fail("no view " + std::to_string(args.id));
    if (args.id == schema::kWhatsNewViewId || args.id == schema::kSearchResultsViewId)
        return Fail("view " + std::to_string(args.id) + " is built in and cannot be deleted");
    if (!session.database().DeleteView(args.id)) return Fail("could not delete the view");
    session.MarkChanged();
    return Reply(context, {{"id", args.id}},
                 [&](std::ostream& out) { out << "Deleted view " << args.id << '\n'; });
}

CommandResult RunRebuild(CommandContext& context, DatabaseSession& session, const ViewArgs& args) {
    DbStatus rebuilt;
    if (args.id == schema::kWhatsNewViewId) {
        rebuilt = session.database().RebuildWhatsNew();
    } else {
        SearchFields fields{args.title, args.in_keywords, args.text};
        if (!fields.title && !fields.keywords && !fields.text) fields.title = true;
        rebuilt = session.database().RebuildKeywordView(args.id, fields);
    }
    if (!rebuilt)
        return Fail("could not rebuild view " + std::to_string(args.id) +
                    " (is it What's New or a keyword view?)");
    session.MarkChanged();
    long items = session.database().CountViewItems(args.id, ItemCount::kAll).value_or(-1);
    return Reply(context, {{"id", args.id}, {"items", items}}, [&](std::ostream& out) {
        out << "View " << args.id << " now holds " << items << " items\n";
    });
}

void AddViewOptions(CLI::App& command, ViewArgs& args) {
    command.add_option("--keywords", args.keywords, "Comma-separated keywords (makes a keyword view)");
    command.add_option("--sort-by", args.sort_by, "0 feeds by priority, 1 by date, 2 all items by date");
    command.add_option("--num-to-show", args.num_to_show, "Most items listed");
    command.add_option("--hide-after", args.hide_after, "Hide items older than this many days (0: never)");
    command.add_option("--read-after", args.read_after, "Days after which items count as read (stored only)");
    command.add_flag("--hide-read", args.hide_read, "Hide read items");
}

}  // namespace

void AddViewCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<ViewArgs>();

    CLI::App* views =
        app.add_subcommand("views", "List the views with their settings, feeds and item counts");
    AddYesOption(*views, args->yes);
    views->callback(SessionAction(context, args, RunList));

    CLI::App* view = app.add_subcommand("view", "Add, change, delete and rebuild views");
    view->require_subcommand(1);
    AddYesOption(*view, args->yes);

    CLI::App* add = view->add_subcommand("add", "Add a view");
    add->add_option("label", args->label, "The view's name")->required();
    AddViewOptions(*add, *args);
    add->callback(SessionAction(context, args, RunAdd));

    CLI::App* update = view->add_subcommand("update", "Change a view's settings (its name stays)");
    update->add_option("id", args->id, "View id")->required();
    AddViewOptions(*update, *args);
    update->add_flag("--show-read", args->show_read, "Show read items");
    update->add_option("--status", args->status, "Status (0 deleted)");
    update->callback(SessionAction(context, args, RunUpdate));

    CLI::App* feeds = view->add_subcommand("feeds", "Set the feeds a view lists");
    feeds->add_option("id", args->id, "View id")->required();
    feeds->add_option("feed", args->feeds, "Feed ids");
    feeds->callback(SessionAction(context, args, RunFeeds));

    CLI::App* remove = view->add_subcommand("delete", "Delete a view and its memberships");
    remove->add_option("id", args->id, "View id")->required();
    remove->callback(SessionAction(context, args, RunDelete));

    CLI::App* rebuild = view->add_subcommand("rebuild", "Rebuild What's New (view 1) or a keyword view");
    rebuild->add_option("id", args->id, "View id")->required();
    rebuild->add_flag("--title", args->title, "Search titles (the default)");
    rebuild->add_flag("--keywords", args->in_keywords, "Search item keywords");
    rebuild->add_flag("--text", args->text, "Search item descriptions");
    rebuild->callback(SessionAction(context, args, RunRebuild));
}

}  // namespace qf::cli
