// `quillfeed items [--feed ID]`, `quillfeed items delete-all` and `quillfeed item status|delete`.
#include <iostream>
#include <limits>

#include "commands/commands.h"
#include "commands/db_session.h"

namespace qf::cli {
namespace {

struct ItemArgs {
    bool yes = false;
    std::int32_t id = 0;
    std::optional<std::int32_t> feed;
    int status = 0;
};

CommandResult RunList(CommandContext& context, DatabaseSession& session, const ItemArgs& args) {
    std::vector<std::int32_t> feeds;
    if (args.feed) {
        if (!session.database().LoadFeed(*args.feed)) return Fail("no feed " + std::to_string(*args.feed));
        feeds.push_back(*args.feed);
    } else {
        if (!session.model().LoadFeeds()) return Fail("could not read the feeds");
        for (const FeedEntry& feed : session.model().feeds()) feeds.push_back(feed.feed_id);
    }
    nlohmann::json items = nlohmann::json::array();
    for (std::int32_t feed : feeds) {
        DbResult<std::vector<ItemRecord>> feed_items =
            session.database().LoadItemsOfFeed(feed, std::numeric_limits<int>::max());
        if (!feed_items) return Fail("could not read the items of feed " + std::to_string(feed));
        for (const ItemRecord& item : *feed_items) items.push_back(ToJson(item));
    }
    return Reply(context, {{"items", items}}, [&](std::ostream& out) {
        for (const auto& item : items) {
            out << item["id"] << "  feed " << item["feedId"] << "  status " << item["status"] << "  "
                << item["itemDate"].get<std::string>() << "  " << item["title"].get<std::string>() << '\n';
        }
    });
}

CommandResult RunStatus(CommandContext& context, DatabaseSession& session, const ItemArgs& args) {
    if (!session.database().LoadItem(args.id)) return Fail("no item " + std::to_string(args.id));
    if (!session.database().SetItemStatus(args.id, static_cast<std::int16_t>(args.status)))
        return Fail("could not set the item's status");
    session.MarkChanged();
    return Reply(context, {{"item", ToJson(*session.database().LoadItem(args.id))}}, [&](std::ostream& out) {
        out << "Item " << args.id << " now has status " << args.status << '\n';
    });
}

CommandResult RunDelete(CommandContext& context, DatabaseSession& session, const ItemArgs& args) {
    if (!session.database().LoadItem(args.id)) return Fail("no item " + std::to_string(args.id));
    // Deleting an item removes its downloaded audio file, found in the downloaded audio list.
    std::vector<AudioRecord> audio = session.database().LoadAudio(1).value_or({});
    if (!session.database().DeleteItem(args.id, audio)) return Fail("could not delete the item");
    session.MarkChanged();
    return Reply(context, {{"id", args.id}},
                 [&](std::ostream& out) { out << "Deleted item " << args.id << '\n'; });
}

CommandResult RunDeleteAll(CommandContext& context, DatabaseSession& session, const ItemArgs&) {
    if (!session.database().DeleteAllItems()) return Fail("could not delete the items");
    session.MarkChanged();
    return Reply(context, {},
                 [](std::ostream& out) { out << "Deleted every item and compacted the database\n"; });
}

}  // namespace

void AddItemCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<ItemArgs>();

    CLI::App* items =
        app.add_subcommand("items", "List items (newest first, feed by feed), or delete them all");
    AddYesOption(*items, args->yes);
    items->add_option("--feed", args->feed, "Only the items of this feed");
    CLI::App* delete_all =
        items->add_subcommand("delete-all", "Delete every item, reset the feeds and compact");
    delete_all->callback(SessionAction(context, args, RunDeleteAll));
    // The group's own callback runs after its subcommand's: it lists only when no subcommand was given.
    items->callback([delete_all, list = SessionAction(context, args, RunList)] {
        if (!delete_all->parsed()) list();
    });

    CLI::App* item = app.add_subcommand("item", "Change or delete one item");
    item->require_subcommand(1);
    AddYesOption(*item, args->yes);

    CLI::App* status = item->add_subcommand("status", "Set an item's status (1 unread, 2 read, 3 kept)");
    status->add_option("id", args->id, "Item id")->required();
    status->add_option("status", args->status, "New status")->required();
    // The status is checked before the database is opened.
    status->callback([&context, args] {
        context.SetAction([&context, args]() -> CommandResult {
            if (args->status < 0 || args->status > 3)
                return Fail("an item's status is 0 to 3 (1 unread, 2 read, 3 kept)");
            return RunWithSession(context, *args, RunStatus);
        });
    });

    CLI::App* remove = item->add_subcommand("delete", "Delete an item with its texts and audio");
    remove->add_option("id", args->id, "Item id")->required();
    remove->callback(SessionAction(context, args, RunDelete));
}

}  // namespace qf::cli
