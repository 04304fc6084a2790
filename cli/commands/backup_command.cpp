// `quillfeed backup export|import FILE`: the configuration (views, subscriptions, feeds, memberships).
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "qfdevice/device.h"

namespace qf::cli {
namespace {

struct BackupArgs {
    bool yes = false;
    std::string file;
};

// Whether `path` is `other` itself, or lies inside it when `other` is a folder.
bool IsOrIsInside(const std::filesystem::path& path, const std::filesystem::path& other) {
    std::error_code inner_error, outer_error, ignored;
    std::filesystem::path inner = std::filesystem::weakly_canonical(path, inner_error);
    std::filesystem::path outer = std::filesystem::weakly_canonical(other, outer_error);
    if (inner_error || outer_error || outer.empty()) return false;
    auto [mismatch, unused] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return mismatch == outer.end() || std::filesystem::equivalent(path, other, ignored);
}

// A backup written over the live database (or its log beside it) or over the device's own state (the
// registry) would destroy what it backs up.
void RequireSafeTarget(const DeviceFile& file, const DatabaseSession& session, const std::string& argument) {
    std::filesystem::path target = file.host_file();
    Require(!target.empty(), "cannot write the backup to " + argument);
    std::optional<std::filesystem::path> database = qf::device::MapPath(session.path());
    bool live = false;
    if (database) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal", ".qfaside"}) {
            live = live || IsOrIsInside(target, database->string() + suffix);
        }
    }
    Require(!live, "refusing to write the backup over the live database " + WideToUtf8(session.path()));
    Require(
        !IsOrIsInside(target, qf::device::StateDir()),
        "refusing to write the backup into the device's own state (" + qf::device::StateDir().string() + ")");
}

int RunExport(CommandContext& context, const BackupArgs& args) {
    DatabaseSession session(context, args.yes ? Answer::kYes : Answer::kAsk);
    DeviceFile file(args.file, DeviceFile::Use::kWrite);
    RequireSafeTarget(file, session, args.file);
    Require(session.database().Export(file.device_path()), "could not write the backup to " + args.file);
    file.Finish();
    if (context.json()) {
        PrintJson({{"ok", true}, {"file", args.file}});
    } else {
        std::cout << "Wrote the views, subscriptions and feeds to " << args.file << '\n';
    }
    return 0;
}

int RunImport(CommandContext& context, const BackupArgs& args) {
    DatabaseSession session(context, args.yes ? Answer::kYes : Answer::kAsk);
    DeviceFile file(args.file, DeviceFile::Use::kRead);
    DbResult<std::vector<std::u16string>> notes = session.database().Import(file.device_path());
    Require(notes, "could not import " + args.file + " (not a version 2.0 backup?)");
    nlohmann::json note_lines = nlohmann::json::array();
    for (const std::u16string& note : *notes) {
        note_lines.push_back(WideToUtf8(note));
        std::cerr << "quillfeed: " << args.file << ": " << WideToUtf8(note) << '\n';
    }
    session.MarkChanged();
    if (context.json()) {
        PrintJson({{"ok", true}, {"file", args.file}, {"notes", note_lines}});
    } else {
        std::cout << "Added the views, subscriptions and feeds of " << args.file << '\n';
    }
    return 0;
}

}  // namespace

void AddBackupCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<BackupArgs>();
    CLI::App* backup = app.add_subcommand("backup", "Save or restore the views, subscriptions and feeds");
    backup->require_subcommand(1);
    AddYesOption(*backup, args->yes);
    const char* file_help = "Backup file: \\path on the device, or a file of this computer";

    CLI::App* save = backup->add_subcommand("export", "Write the backup file");
    save->add_option("file", args->file, file_help)->required();
    save->callback(
        [&context, args] { context.SetAction([&context, args] { return RunExport(context, *args); }); });

    CLI::App* restore = backup->add_subcommand("import", "Add everything in a backup file, with new ids");
    restore->add_option("file", args->file, file_help)->required();
    restore->callback(
        [&context, args] { context.SetAction([&context, args] { return RunImport(context, *args); }); });
}

}  // namespace qf::cli
