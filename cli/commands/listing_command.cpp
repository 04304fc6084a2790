// `quillfeed listing VIEW-ID` and `quillfeed listing --feed FEED-ID`: the rows the item shows.
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"

namespace qf::cli {
namespace {

struct ListingArgs {
    bool yes = false;
    std::optional<std::int32_t> view;
    std::optional<std::int32_t> feed;
    bool texts = false;
    bool show_read = false;
};

CommandResult RunListing(CommandContext& context, DatabaseSession& session, const ListingArgs& args) {
    ListingModel& model = session.model();
    if (args.view) {
        // The item always hides read items; --show-read leaves that to the view.
        if (!model.BuildViewListing(*args.view, !args.show_read))
            return Fail("no listing for view " + std::to_string(*args.view));
    } else if (!model.BuildFeedListing(*args.feed)) {
        return Fail("no listing for feed " + std::to_string(*args.feed));
    }
    if (args.texts) {
        for (const ListingRow& row : model.listing()) model.FindRow(row.item_id, LoadTexts::kYes);
    }
    nlohmann::json rows = nlohmann::json::array();
    if (context.json()) {
        for (const ListingRow& row : model.listing()) rows.push_back(ToJson(row));
    }
    return Reply(context, {{"rows", rows}}, [&](std::ostream& out) {
        for (const ListingRow& row : model.listing()) {
            out << row.item_id << "  " << DateText(row.item_date) << "  [" << WideToUtf8(row.feed_title)
                << "]  " << WideToUtf8(row.title)
                << (row.item_status == 2   ? "  (read)"
                    : row.item_status == 3 ? "  (kept)"
                                           : "")
                << (row.has_audio ? "  audio: " + WideToUtf8(row.audio_path) : "") << '\n';
            if (args.texts && !row.description.empty()) out << "    " << WideToUtf8(row.description) << '\n';
        }
    });
}

}  // namespace

void AddListingCommand(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<ListingArgs>();
    CLI::App* listing = app.add_subcommand("listing", "Print the rows the item shows for a view or a feed");
    AddYesOption(*listing, args->yes);
    listing->add_option("view", args->view, "View id");
    listing->add_option("--feed", args->feed, "List this feed's 50 newest items instead");
    listing->add_flag("--texts", args->texts, "Load each row's description and stored page");
    listing->add_flag("--show-read", args->show_read, "Keep read items unless the view hides them");
    // A view or a feed is asked for before the database is opened.
    listing->callback([&context, args] {
        context.SetAction([&context, args]() -> CommandResult {
            if (args->view.has_value() == args->feed.has_value())
                return Fail("give a view id or --feed FEED-ID");
            return RunWithSession(context, *args, RunListing);
        });
    });
}

}  // namespace qf::cli
