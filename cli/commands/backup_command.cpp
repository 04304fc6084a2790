// `quillfeed backup export|import FILE`: the configuration (views, subscriptions, feeds, memberships).
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"

namespace qf::cli {
namespace {

struct BackupArgs {
    bool yes = false;
    std::string file;
};

int RunExport(CommandContext& context, const BackupArgs& args) {
    DatabaseSession session(context, args.yes ? Answer::kYes : Answer::kAsk);
    DeviceFile file(args.file, DeviceFile::Use::kWrite);
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
    Require(session.database().Import(file.device_path()),
            "could not import " + args.file + " (not a version 2.0 backup?)");
    session.MarkChanged();
    if (context.json()) {
        PrintJson({{"ok", true}, {"file", args.file}});
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
