// `quillfeed subscription add URL-OR-FILE` and `quillfeed subscription delete ID`.
#include <unistd.h>

#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "common/settings_store.h"
#include "common/system_info.h"
#include "download/fetch.h"
#include "download/net_connection.h"
#include "parse/dates.h"
#include "parse/feed_parser.h"
#include "qfdevice/device.h"

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

// Downloads a subscription list as the download run fetches a feed: the network brought up with the
// device's settings, the proxy they name. Fails when it cannot be fetched.
Status FetchList(const std::u16string& url, const std::u16string& device_path) {
    NetConnection connection;
    ProxySettings proxy;
    if (!connection.Connect(AppSettings(), proxy)) return Fail("Could not establish an Internet connection.");
    DetectPlatform();
    SetFetchOptions(FetchOptionsFromSettings(AppSettings()));
    FetchReport report;
    bool fetched = Fetch(url, device_path, proxy.use_proxy ? ProxyUse::kProxy : ProxyUse::kDirect,
                         proxy.HostAndPort(), FollowRefresh::kNo, &report);
    connection.Release();
    if (!fetched)
        return Fail("cannot fetch " + WideToUtf8(url) + ": " + WideToUtf8(DescribeFetchFailure(report)));
    return {};
}

// The device file a fetched list is written to, removed again with the object.
class FetchedList {
  public:
    FetchedList() : path_(u"\\Temp\\subscription-" + Utf8ToWide(std::to_string(getpid())) + u".xml") {
        CreateDirectoryW(u"\\Temp", nullptr);
    }
    ~FetchedList() { DeleteFileW(path_.c_str()); }
    FetchedList(const FetchedList&) = delete;
    FetchedList& operator=(const FetchedList&) = delete;
    const std::u16string& path() const { return path_; }

  private:
    std::u16string path_;
};

// A subscription list named by a URL is fetched now, one in a file read; its feeds are added.
CommandResult RunAdd(CommandContext& context, DatabaseSession& session, const SubscriptionArgs& args) {
    SubscriptionRecord subscription = NewSubscriptionRecord();
    DeviceFile file;
    std::optional<FetchedList> fetched;
    std::u16string list_path;
    if (IsUrl(args.source)) {
        subscription.subscription_url = Utf8ToWide(args.source);
        fetched.emplace();
        if (Status got = FetchList(subscription.subscription_url, fetched->path()); !got)
            return got.failure();
        list_path = fetched->path();
    } else {
        if (Status opened = file.Open(args.source, DeviceFile::Use::kRead); !opened) return opened.failure();
        list_path = file.device_path();
        subscription.is_from_file = true;
        subscription.subscription_url = file.is_host_file() ? Utf8ToWide(args.source) : file.device_path();
    }
    ParsedFeed document;
    if (!ParseFeed(document, list_path, ParseOptionsFrom(AppSettings())))
        return Fail("cannot read " + args.source + " as a feed list");
    subscription.title = args.title               ? Utf8ToWide(*args.title)
                         : document.title.empty() ? subscription.subscription_url
                                                  : document.title;
    if (!session.database().AddSubscription(subscription, SubscriptionView::kOwnView))
        return Fail("could not add the subscription");
    if (!session.database().ReplaceSubscriptionFeeds(subscription.subscription_id, document))
        return Fail("could not add the subscription's feeds");
    session.MarkChanged();
    DbResult<SubscriptionRecord> stored = session.database().LoadSubscription(subscription.subscription_id);
    if (!stored) return Fail("could not read the subscription back");
    size_t feeds = document.items.size();
    return Reply(context,
                 {{"subscription",
                   {{"id", stored->subscription_id},
                    {"viewId", stored->view_id},
                    {"title", WideToUtf8(stored->title)},
                    {"url", WideToUtf8(stored->subscription_url)},
                    {"isFile", stored->is_from_file}}},
                  {"feedsAdded", feeds}},
                 [&](std::ostream& out) {
                     out << "Added subscription " << stored->subscription_id << " \""
                         << WideToUtf8(stored->title) << "\" with view " << stored->view_id << " and "
                         << feeds << " feeds\n";
                 });
}

CommandResult RunDelete(CommandContext& context, DatabaseSession& session, const SubscriptionArgs& args) {
    if (!session.database().LoadSubscription(args.id))
        return Fail("no subscription " + std::to_string(args.id));
    if (!session.database().DeleteSubscription(args.id)) return Fail("could not delete the subscription");
    session.MarkChanged();
    return Reply(context, {{"id", args.id}}, [&](std::ostream& out) {
        out << "Deleted subscription " << args.id << " with its view and feeds\n";
    });
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
    add->callback(SessionAction(context, args, RunAdd));

    CLI::App* remove =
        subscription->add_subcommand("delete", "Delete a subscription with its view and feeds");
    remove->add_option("id", args->id, "Subscription id")->required();
    remove->callback(SessionAction(context, args, RunDelete));
}

}  // namespace qf::cli
