#include "commands/db_session.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "common/settings_store.h"
#include "db/default_database.h"
#include "parse/dates.h"
#include "qfdevice/device.h"
#include "qfdevice/shell_hooks.h"
#include "windows.h"

namespace qf::cli {
namespace {

int AskOnTerminal(const std::u16string& text, const std::u16string& caption, UINT type, Answer answer) {
    bool question = (type & 0x0F) == MB_YESNO;
    std::cerr << WideToUtf8(caption) << ": " << WideToUtf8(text) << '\n';
    if (!question) return IDOK;
    if (answer == Answer::kYes) {
        std::cerr << "(answered yes: --yes)\n";
        return IDYES;
    }
    if (!isatty(STDIN_FILENO)) {
        std::cerr << "(answered no: not a terminal; use --yes)\n";
        return IDNO;
    }
    std::cerr << "[y/N] " << std::flush;
    std::string reply;
    std::getline(std::cin, reply);
    return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y') ? IDYES : IDNO;
}

// Identifiers are seconds since 2001 plus a per-process counter, so two runs of the command line within
// one second would hand out the same ones. Moving this process's counter past the newest identifier
// already stored keeps the records a run adds apart from those of the run before.
void SkipStoredIdentifiers(FeedDatabase& database) {
    long long newest = database.Run(0LL, [](AdoConnection& connection) {
        long long newest_id = 0;
        for (const char16_t* query : {u"Select max(ViewID) From Views", u"Select max(FeedID) From Feeds",
                                      u"Select max(SubscriptionID) From Subscriptions"}) {
            AdoRecordset rows;
            if (rows.Open(query, &connection) && !rows.IsEOF()) {
                newest_id = std::max<long long>(newest_id, rows.Field(0).AsInt());
            }
        }
        return newest_id;
    });
    constexpr long long kLongestSkip = 100000;  // an identifier far ahead is not from a run just before
    long long behind = newest - SecondsSince2001();
    for (long long i = 0; i >= 0 && i <= behind && behind < kLongestSkip; ++i) UniqueNumber();
}

}  // namespace

TerminalMessageBoxes::TerminalMessageBoxes(Answer answer) {
    qf::device::SetMessageBoxHook([answer](HWND, const std::u16string& text, const std::u16string& caption,
                                           UINT type) { return AskOnTerminal(text, caption, type, answer); });
}

TerminalMessageBoxes::~TerminalMessageBoxes() { qf::device::SetMessageBoxHook({}); }

DatabaseSession::DatabaseSession(CommandContext& context, Answer answer) : boxes_(answer) {
    context.UseDevice(DeviceNeed::kExisting);
    path_ = DatabasePathSetting();
    if (path_.empty()) throw CommandError("no database is set up (run 'quillfeed db create')");
    model_ = std::make_unique<ListingModel>();
    model_->database().set_audio_folder(AudioFolderSetting());
    switch (model_->database().Open(path_, MissingMessage::kShowOnce)) {
        case kOpenReady:
            SkipStoredIdentifiers(model_->database());
            return;
        case kOpenLockFailed:
            throw CommandError("the database " + WideToUtf8(path_) +
                               " is busy (its lock was not free in 10 s)");
        case kOpenUpgradeDeclined:
            throw CommandError("the database " + WideToUtf8(path_) +
                               " needs an upgrade (run again with --yes)");
        default:
            throw CommandError("cannot open the database " + WideToUtf8(path_));
    }
}

DatabaseSession::~DatabaseSession() = default;

void DatabaseSession::MarkChanged() { AppSettings().WriteDword(u"Today", u"TodayHasChanged", 1); }

std::u16string DevicePathArgument(const std::string& argument) {
    std::u16string path = Utf8ToWide(argument);
    for (char16_t& c : path) {
        if (c == u'/') c = u'\\';
    }
    if (path.empty() || path.front() != u'\\') path.insert(path.begin(), u'\\');
    return path;
}

DeviceFile::DeviceFile(const std::string& argument, Use use) {
    if (!argument.empty() && argument.front() == '\\') {
        device_path_ = DevicePathArgument(argument);
        return;
    }
    host_path_ = std::filesystem::absolute(argument);
    device_path_ =
        u"\\Temp\\quillfeed-" + Utf8ToWide(std::to_string(getpid()) + "-" + host_path_.filename().string());
    std::optional<std::filesystem::path> mapped = qf::device::MapPath(device_path_);
    Require(mapped.has_value(), "cannot place " + argument + " in the device");
    temporary_ = *mapped;
    std::error_code error;
    std::filesystem::create_directories(temporary_.parent_path(), error);
    if (use == Use::kRead) {
        std::filesystem::copy_file(host_path_, temporary_, std::filesystem::copy_options::overwrite_existing,
                                   error);
        Require(!error, "cannot read " + argument + ": " + error.message());
    }
}

DeviceFile::~DeviceFile() {
    std::error_code ignored;
    if (!temporary_.empty()) std::filesystem::remove(temporary_, ignored);
}

void DeviceFile::Finish() {
    if (host_path_.empty()) return;
    std::error_code error;
    std::filesystem::copy_file(temporary_, host_path_, std::filesystem::copy_options::overwrite_existing,
                               error);
    Require(!error, "cannot write " + host_path_.string() + ": " + error.message());
}

std::u16string AudioFolderSetting() {
    std::u16string folder = AppSettings().ReadString(u"Audio", u"Folder", u"");
    if (!folder.empty()) return folder;
    return AppSettings().ReadString(u"Settings", u"InstallPath", u"\\Program Files\\Quillfeed") +
           u"\\rssAudio";
}

void Require(bool ok, const std::string& message) {
    if (!ok) throw CommandError(message);
}

std::string DateText(const SYSTEMTIME& date) {
    if (date.wYear == 0 && date.wMonth == 0 && date.wDay == 0) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", date.wYear % 10000u, date.wMonth % 100u,
                  date.wDay % 100u, date.wHour % 100u, date.wMinute % 100u, date.wSecond % 100u);
    return text;
}

nlohmann::json ToJson(const ViewRecord& view) {
    return {{"id", view.view_id},
            {"parentId", view.parent_id},
            {"label", WideToUtf8(view.label)},
            {"status", view.status},
            {"readAfter", view.read_after},
            {"hideAfter", view.hide_after},
            {"numToShow", view.num_to_show},
            {"hideRead", view.hide_read},
            {"skipRead", view.dpad_skip_read},
            {"sortBy", view.sort_by},
            {"keywordView", view.is_keyword_view},
            {"keywords", WideToUtf8(view.keywords)},
            {"dateEntered", DateText(view.date_entered)}};
}

nlohmann::json ToJson(const FeedRecord& feed) {
    return {{"id", feed.feed_id},
            {"title", WideToUtf8(feed.title)},
            {"url", WideToUtf8(feed.feed_url)},
            {"link", WideToUtf8(feed.link_url)},
            {"description", WideToUtf8(feed.description)},
            {"guid", WideToUtf8(feed.guid)},
            {"feedType", feed.feed_type},
            {"status", feed.status},
            {"priority", feed.priority},
            {"reload", feed.reload_frequency},
            {"readAfter", feed.read_after},
            {"maxItems", feed.max_items},
            {"extendedData", feed.extended_data},
            {"extendedAudio", feed.extended_audio},
            {"lastDigestKey", WideToUtf8(feed.last_digest_key)},
            {"lastDownloadDate", DateText(feed.last_download_date)},
            {"lastFeedDate", DateText(feed.last_feed_date)},
            {"dateEntered", DateText(feed.date_entered)}};
}

nlohmann::json ToJson(const ItemRecord& item) {
    return {{"id", item.feed_item_id},         {"feedId", item.feed_id},
            {"title", WideToUtf8(item.title)}, {"link", WideToUtf8(item.link)},
            {"status", item.status},           {"itemDate", DateText(item.item_date)}};
}

nlohmann::json ToJson(const ListingRow& row) {
    return {{"itemId", row.item_id},
            {"title", WideToUtf8(row.title)},
            {"itemStatus", row.item_status},
            {"itemDate", DateText(row.item_date)},
            {"textsLoaded", row.texts_loaded},
            {"description", WideToUtf8(row.description)},
            {"link", WideToUtf8(row.link)},
            {"extendedContent", WideToUtf8(row.extended_content)},
            {"feedId", row.feed_id},
            {"feedTitle", WideToUtf8(row.feed_title)},
            {"feedStatus", row.feed_status},
            {"feedPriority", row.feed_priority},
            {"feedLastDate", DateText(row.feed_last_date)},
            {"viewId", row.view_id},
            {"hasAudio", row.has_audio},
            {"audioPath", WideToUtf8(row.audio_path)}};
}

void AddYesOption(CLI::App& group, bool& yes) {
    group.add_flag("--yes", yes, "Answer Yes to the database's questions (upgrade, overwrite)");
    group.fallthrough();
}

}  // namespace qf::cli
