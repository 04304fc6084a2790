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
Status CheckSafeTarget(const DeviceFile& file, const DatabaseSession& session, const std::string& argument) {
    std::filesystem::path target = file.host_file();
    if (target.empty()) return Fail("cannot write the backup to " + argument);
    std::optional<std::filesystem::path> database = qf::device::MapPath(session.path());
    bool live = false;
    if (database) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal", ".qfaside"}) {
            live = live || IsOrIsInside(target, database->string() + suffix);
        }
    }
    if (live)
        return Fail("refusing to write the backup over the live database " + WideToUtf8(session.path()));
    if (IsOrIsInside(target, qf::device::StateDir())) {
        return Fail("refusing to write the backup into the device's own state (" +
                    qf::device::StateDir().string() + ")");
    }
    return {};
}

CommandResult RunExport(CommandContext& context, DatabaseSession& session, const BackupArgs& args) {
    DeviceFile file;
    if (Status opened = file.Open(args.file, DeviceFile::Use::kWrite); !opened) return opened.failure();
    if (Status safe = CheckSafeTarget(file, session, args.file); !safe) return safe.failure();
    if (!session.database().Export(file.device_path()))
        return Fail("could not write the backup to " + args.file);
    if (Status finished = file.Finish(); !finished) return finished.failure();
    return Reply(context, {{"file", args.file}}, [&](std::ostream& out) {
        out << "Wrote the views, subscriptions and feeds to " << args.file << '\n';
    });
}

CommandResult RunImport(CommandContext& context, DatabaseSession& session, const BackupArgs& args) {
    DeviceFile file;
    if (Status opened = file.Open(args.file, DeviceFile::Use::kRead); !opened) return opened.failure();
    DbResult<std::vector<std::u16string>> notes = session.database().Import(file.device_path());
    if (!notes) return Fail("could not import " + args.file + " (not a version 2.0 backup?)");
    nlohmann::json note_lines = nlohmann::json::array();
    for (const std::u16string& note : *notes) {
        note_lines.push_back(WideToUtf8(note));
        std::cerr << "quillfeed: " << args.file << ": " << WideToUtf8(note) << '\n';
    }
    session.MarkChanged();
    return Reply(context, {{"file", args.file}, {"notes", note_lines}}, [&](std::ostream& out) {
        out << "Added the views, subscriptions and feeds of " << args.file << '\n';
    });
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
    save->callback(SessionAction(context, args, RunExport));

    CLI::App* restore = backup->add_subcommand("import", "Add everything in a backup file, with new ids");
    restore->add_option("file", args->file, file_help)->required();
    restore->callback(SessionAction(context, args, RunImport));
}

}  // namespace qf::cli
