#include "commands/db_session.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>

#include "common/settings.h"
#include "common/settings_store.h"
#include "db/default_database.h"
#include "db/file_checks.h"
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

}  // namespace

TerminalMessageBoxes::TerminalMessageBoxes(Answer answer) {
    qf::device::SetMessageBoxHook([answer](HWND, const std::u16string& text, const std::u16string& caption,
                                           UINT type) { return AskOnTerminal(text, caption, type, answer); });
}

TerminalMessageBoxes::~TerminalMessageBoxes() { qf::device::SetMessageBoxHook({}); }

DatabaseSession::DatabaseSession(Answer answer, std::u16string path)
    : boxes_(answer), model_(std::make_unique<ListingModel>()), path_(std::move(path)) {
    model_->database().set_audio_folder(DeviceAudioFolder());
}

Expected<std::unique_ptr<DatabaseSession>> DatabaseSession::Open(CommandContext& context, Answer answer) {
    if (Status used = context.UseDevice(DeviceNeed::kExisting); !used) return used.failure();
    std::u16string path = DatabasePathSetting();
    if (path.empty()) {
        // A database may lie at the usual place without being recorded: never advise making a new one
        // over it.
        if (NonEmptyFileAt(kDefaultDatabasePath)) {
            return Fail("no database is recorded in the settings, but " + WideToUtf8(kDefaultDatabasePath) +
                        " exists (run 'quillfeed init' to use it)");
        }
        return Fail("no database is set up (run 'quillfeed db create')");
    }
    std::unique_ptr<DatabaseSession> session(new DatabaseSession(answer, std::move(path)));
    const std::string name = WideToUtf8(session->path_);
    switch (session->database().Open(session->path_, MissingMessage::kShowOnce)) {
        case OpenResult::kReady:
            return session;
        case OpenResult::kLockFailed:
            return Fail("the database " + name + " is busy (its lock was not free in " +
                        std::to_string(kDatabaseLockTimeoutMs / 1000) + " s)");
        case OpenResult::kUpgradeDeclined:
            return Fail("the database " + name + " needs an upgrade (run again with --yes)");
        default:
            return Fail("cannot open the database " + name);
    }
}

DatabaseSession::~DatabaseSession() = default;

void DatabaseSession::MarkChanged() { AppSettings().Write(setting::kTodayHasChanged, true); }

std::u16string DevicePathArgument(const std::string& argument) {
    std::u16string path = Utf8ToWide(argument);
    for (char16_t& c : path) {
        if (c == u'/') c = u'\\';
    }
    if (path.empty() || path.front() != u'\\') path.insert(path.begin(), u'\\');
    return path;
}

namespace {

// A file to be read must be a plain file: a folder, a device such as /dev/zero or a pipe would fail
// later with a misleading message, or never end.
Status CheckReadableHostFile(const std::filesystem::path& path, const std::string& argument) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) return Fail("cannot read " + argument + ": " + error.message());
    if (std::filesystem::is_directory(status)) return Fail("cannot read " + argument + ": it is a folder");
    if (!std::filesystem::is_regular_file(status))
        return Fail("cannot read " + argument + ": not a regular file");
    return {};
}

Status CheckReadableDeviceFile(const std::u16string& device_path, const std::string& argument) {
    DWORD attributes = GetFileAttributesW(device_path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Fail("no file " + argument + " on the device");
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Fail("cannot read " + argument + ": it is a folder");
    return {};
}

// A name for a copy in \Temp that no other copy of this or another process has.
std::u16string TemporaryDevicePath() {
    static std::atomic<unsigned> counter{0};
    return u"\\Temp\\quillfeed-" + Utf8ToWide(std::to_string(getpid()) + "-" + std::to_string(++counter)) +
           u".tmp";
}

}  // namespace

Status DeviceFile::Open(const std::string& argument, Use use) {
    if (!argument.empty() && argument.front() == '\\') {
        device_path_ = DevicePathArgument(argument);
        return use == Use::kRead ? CheckReadableDeviceFile(device_path_, argument) : Status();
    }
    host_path_ = std::filesystem::absolute(argument);
    if (use == Use::kRead) {
        if (Status readable = CheckReadableHostFile(host_path_, argument); !readable) return readable;
    }
    // The host file's name never becomes part of a device path: backslashes in it would name folders.
    device_path_ = TemporaryDevicePath();
    CreateDirectoryW(u"\\Temp", nullptr);
    std::optional<std::filesystem::path> mapped = qf::device::MapPath(device_path_);
    if (!mapped || !std::filesystem::is_directory(mapped->parent_path()))
        return Fail("cannot place a copy of " + argument + " in the device's \\Temp folder");
    temporary_ = *mapped;
    if (use == Use::kRead) {
        std::error_code error;
        std::filesystem::copy_file(host_path_, temporary_, std::filesystem::copy_options::overwrite_existing,
                                   error);
        if (error) return Fail("cannot read " + argument + ": " + error.message());
    }
    return {};
}

DeviceFile::~DeviceFile() {
    std::error_code ignored;
    if (!temporary_.empty()) std::filesystem::remove(temporary_, ignored);
}

std::filesystem::path DeviceFile::host_file() const {
    if (!host_path_.empty()) return host_path_;
    return qf::device::MapPath(device_path_).value_or(std::filesystem::path());
}

Status DeviceFile::Finish() {
    if (host_path_.empty()) return {};
    std::error_code error;
    std::filesystem::copy_file(temporary_, host_path_, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error) return Fail("cannot write " + host_path_.string() + ": " + error.message());
    return {};
}

std::u16string DeviceInstallFolder() { return InstallFolder(AppSettings(), kInstallFolder); }

std::u16string DeviceAudioFolder() { return AudioFolder(AppSettings(), DeviceInstallFolder()); }

Status SetSmall(std::optional<int> value, std::int16_t& field, const char* name) {
    if (!value) return {};
    if (*value < -32768 || *value > 32767) return Fail(std::string(name) + " must fit in 16 bits");
    field = static_cast<std::int16_t>(*value);
    return {};
}

Status FirstFailure(std::initializer_list<Status> steps) {
    for (const Status& step : steps) {
        if (!step) return step;
    }
    return {};
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
