// `quillfeed search TERM`: the search behind keyword views and the Search Results view.
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"

namespace qf::cli {
namespace {

struct SearchArgs {
    bool yes = false;
    std::string term;
    bool title = false, keywords = false, text = false, by_date = false;
};

CommandResult RunSearch(CommandContext& context, DatabaseSession& session, const SearchArgs& args) {
    SearchFields fields{args.title, args.keywords, args.text};
    if (!fields.title && !fields.keywords && !fields.text) fields.title = true;
    DbResult<std::vector<SearchHit>> hits =
        session.database().Search(Utf8ToWide(args.term), fields, args.by_date);
    if (!hits) return Fail("nothing to search for, or the search failed");
    nlohmann::json rows = nlohmann::json::array();
    for (const SearchHit& hit : *hits) {
        rows.push_back(
            {{"itemId", hit.feed_item_id}, {"title", WideToUtf8(hit.title)}, {"feedId", hit.feed_id}});
    }
    return Reply(context, {{"hits", rows}}, [&](std::ostream& out) {
        for (const SearchHit& hit : *hits) {
            out << hit.feed_item_id << "  feed " << hit.feed_id << "  " << WideToUtf8(hit.title) << '\n';
        }
    });
}

}  // namespace

void AddSearchCommand(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<SearchArgs>();
    CLI::App* search = app.add_subcommand("search", "Find items by title, keywords or description");
    AddYesOption(*search, args->yes);
    search->add_option("term", args->term, "Text to look for")->required();
    search->add_flag("--title", args->title, "Search titles (the default)");
    search->add_flag("--keywords", args->keywords, "Search item keywords");
    search->add_flag("--text", args->text, "Search descriptions");
    search->add_flag("--by-date", args->by_date, "Newest first (else by feed)");
    search->callback(SessionAction(context, args, RunSearch));
}

}  // namespace qf::cli
