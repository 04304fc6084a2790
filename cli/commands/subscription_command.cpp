// `quillfeed subscription add URL-OR-FILE` and `quillfeed subscription delete ID`.
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "parse/dates.h"
#include "parse/feed_parser.h"

namespace qf::cli {
namespace {

struct SubscriptionArgs {
    bool yes = false;
    std::string source;
    std::optional<std::string> title;
    std::int32_t id = 0;
};

bool IsUrl(const std::string& text) {
    return text.rfind("http://", 0) == 0 || text.rfind("https://", 0) == 0;
}

// A subscription list named by a URL is fetched by the download run; one in a file is read now.
int RunAdd(CommandContext& context, const SubscriptionArgs& args) {
    DatabaseSession session(context, args.yes ? Answer::kYes : Answer::kAsk);
    SubscriptionRecord subscription = NewSubscriptionRecord();
    std::optional<DeviceFile> file;
    ParsedFeed document;
    if (IsUrl(args.source)) {
        subscription.subscription_url = Utf8ToWide(args.source);
    } else {
        file.emplace(args.source, DeviceFile::Use::kRead);
        Require(ParseFeed(document, file->device_path()), "cannot read " + args.source + " as a feed list");
        subscription.is_from_file = true;
        subscription.subscription_url = file->is_host_file() ? Utf8ToWide(args.source) : file->device_path();
    }
    subscription.title = args.title               ? Utf8ToWide(*args.title)
                         : document.title.empty() ? subscription.subscription_url
                                                  : document.title;
    std::int32_t view_id = session.database().AddSubscription(subscription, SubscriptionView::kOwnView);
    Require(view_id != 0, "could not add the subscription");
    if (file) {
        Require(
            session.database().ReplaceSubscriptionFeeds(subscription.subscription_id, file->device_path()),
            "could not add the subscription's feeds");
    }
    session.MarkChanged();
    std::optional<SubscriptionRecord> stored =
        session.database().LoadSubscription(subscription.subscription_id);
    Require(stored.has_value(), "could not read the subscription back");
    size_t feeds = file ? document.items.size() : 0;
    if (context.json()) {
        PrintJson({{"ok", true},
                   {"subscription",
                    {{"id", stored->subscription_id},
                     {"viewId", stored->view_id},
                     {"title", WideToUtf8(stored->title)},
                     {"url", WideToUtf8(stored->subscription_url)},
                     {"isFile", stored->is_from_file}}},
                   {"feedsAdded", feeds}});
    } else {
        std::cout << "Added subscription " << stored->subscription_id << " \"" << WideToUtf8(stored->title)
                  << "\" with view " << stored->view_id << " and " << feeds << " feeds\n";
    }
    return 0;
}

int RunDelete(CommandContext& context, const SubscriptionArgs& args) {
    DatabaseSession session(context, args.yes ? Answer::kYes : Answer::kAsk);
    Require(session.database().LoadSubscription(args.id).has_value(),
            "no subscription " + std::to_string(args.id));
    Require(session.database().DeleteSubscription(args.id), "could not delete the subscription");
    session.MarkChanged();
    if (context.json()) {
        PrintJson({{"ok", true}, {"id", args.id}});
    } else {
        std::cout << "Deleted subscription " << args.id << " with its view and feeds\n";
    }
    return 0;
}

}  // namespace

void AddSubscriptionCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<SubscriptionArgs>();
    CLI::App* subscription =
        app.add_subcommand("subscription", "Add or delete subscriptions (OPML feed lists)");
    subscription->require_subcommand(1);
    AddYesOption(*subscription, args->yes);

    CLI::App* add = subscription->add_subcommand(
        "add", "Add a subscription with its own view and, from a file, its feeds");
    add->add_option("source", args->source,
                    "http(s) address, \\path on the device, or a file of this computer")
        ->required();
    add->add_option("--title", args->title, "Title (default: the list's own)");
    add->callback(
        [&context, args] { context.SetAction([&context, args] { return RunAdd(context, *args); }); });

    CLI::App* remove =
        subscription->add_subcommand("delete", "Delete a subscription with its view and feeds");
    remove->add_option("id", args->id, "Subscription id")->required();
    remove->callback(
        [&context, args] { context.SetAction([&context, args] { return RunDelete(context, *args); }); });
}

}  // namespace qf::cli
