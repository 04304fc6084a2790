// What the database commands share: the terminal stand-ins for the device's message boxes, the opened
// database of the device, device paths given on the command line, and the JSON forms of records.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "command_context.h"
#include "db/listing_model.h"

namespace qf::cli {

enum class Answer { kAsk, kYes };

// Shows the device's message boxes on the terminal for its lifetime: the text goes to stderr; a Yes/No
// question is answered Yes with kYes, else asked on the terminal when stdin is one, else answered No.
class TerminalMessageBoxes {
  public:
    explicit TerminalMessageBoxes(Answer answer);
    ~TerminalMessageBoxes();
    TerminalMessageBoxes(const TerminalMessageBoxes&) = delete;
    TerminalMessageBoxes& operator=(const TerminalMessageBoxes&) = delete;
};

// The device's database, opened for one command (the 1.0 upgrade asked through the message boxes).
class DatabaseSession {
  public:
    // Fails when there is no device, no database is set up or it does not open.
    static Expected<std::unique_ptr<DatabaseSession>> Open(CommandContext& context, Answer answer);
    ~DatabaseSession();
    DatabaseSession(const DatabaseSession&) = delete;
    DatabaseSession& operator=(const DatabaseSession&) = delete;

    FeedDatabase& database() { return model_->database(); }
    ListingModel& model() { return *model_; }
    const std::u16string& path() const { return path_; }
    // Tells a running item that the data changed (Today/TodayHasChanged), as the main application does.
    void MarkChanged();

  private:
    DatabaseSession(Answer answer, std::u16string path);

    TerminalMessageBoxes boxes_;
    std::unique_ptr<ListingModel> model_;
    std::u16string path_;
};

// The work of a command on the opened database.
template <typename Args>
using SessionCommand = CommandResult (*)(CommandContext& context, DatabaseSession& session, const Args& args);

// Opens the database with the answer --yes gives (kAsk when `Args` has no `yes`), then runs `run` on it.
template <typename Args>
CommandResult RunWithSession(CommandContext& context, const Args& args, SessionCommand<Args> run) {
    Answer answer = Answer::kAsk;
    if constexpr (requires { args.yes; }) answer = args.yes ? Answer::kYes : Answer::kAsk;
    Expected<std::unique_ptr<DatabaseSession>> session = DatabaseSession::Open(context, answer);
    if (!session) return session.failure();
    return run(context, **session, args);
}

// A subcommand's callback that stores RunWithSession(`run`) as the command's action.
template <typename Args>
std::function<void()> SessionAction(CommandContext& context, std::shared_ptr<Args> args,
                                    SessionCommand<Args> run) {
    return [&context, args, run] {
        context.SetAction([&context, args, run] { return RunWithSession(context, *args, run); });
    };
}

// A device path typed on the command line: "/" may stand for "\"; a path without a leading separator
// is taken from the root.
std::u16string DevicePathArgument(const std::string& argument);

// A file named on the command line for an operation that works on device files: an argument starting
// with "\" is a device path; anything else is a host file, copied into the device's \Temp folder (under a
// generated name) to be read, or copied out of it by Finish after being written. The copy in \Temp goes
// with the object.
class DeviceFile {
  public:
    enum class Use { kRead, kWrite };
    DeviceFile() = default;
    ~DeviceFile();
    // Names the file. Fails when a file to read is missing, a folder or not a regular file, or cannot be
    // copied in.
    Status Open(const std::string& argument, Use use);
    DeviceFile(const DeviceFile&) = delete;
    DeviceFile& operator=(const DeviceFile&) = delete;

    const std::u16string& device_path() const { return device_path_; }
    bool is_host_file() const { return !host_path_.empty(); }
    // The host file finally read or written: the host file itself, or the one the device path maps to
    // (empty when it maps to none).
    std::filesystem::path host_file() const;
    // After a write: copies the device file to the host file.
    Status Finish();

  private:
    std::u16string device_path_;
    std::filesystem::path host_path_;
    std::filesystem::path temporary_;
};

// Where init installs the item, and so the install folder when Settings/InstallPath is empty.
inline constexpr char16_t kInstallFolder[] = u"\\Program Files\\Quillfeed";
// The device's install folder: Settings/InstallPath, else kInstallFolder.
std::u16string DeviceInstallFolder();
// The device's audio folder: Audio/Folder, else the install folder + "\rssAudio".
std::u16string DeviceAudioFolder();

// Sets the 16-bit `field` to `value` when one is given; fails naming the option `name` when it does not fit.
Status SetSmall(std::optional<int> value, std::int16_t& field, const char* name);
// The first failure among `steps`, else success.
Status FirstFailure(std::initializer_list<Status> steps);

// "YYYY-MM-DD HH:MM:SS", or "" for an all-zero date.
std::string DateText(const SYSTEMTIME& date);

// The JSON form of a record, fields named as in the backup file where they appear there.
nlohmann::json ToJson(const ViewRecord& view);
nlohmann::json ToJson(const FeedRecord& feed);
nlohmann::json ToJson(const ItemRecord& item);
nlohmann::json ToJson(const ListingRow& row);

// Adds --yes to a command group (and lets it fall through to its subcommands).
void AddYesOption(CLI::App& group, bool& yes);

}  // namespace qf::cli
