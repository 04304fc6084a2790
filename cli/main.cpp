// quillfeed: the companion command line. It stands in for the main application on this platform and
// works on the device through the same code as the item.
#include <iostream>

#include "command_context.h"
#include "commands/commands.h"

int main(int argc, char** argv) {
    CLI::App app{"quillfeed: set up an emulated device and manage its feeds, views and settings",
                 "quillfeed"};
    app.require_subcommand(1);
    app.fallthrough();
    qf::cli::CommandContext context(app);
    qf::cli::AddInitCommand(app, context);
    qf::cli::AddSettingsCommands(app, context);
    qf::cli::AddParseCommand(app, context);
    qf::cli::AddDateCommand(app, context);
    qf::cli::AddTextCommands(app, context);
    qf::cli::AddDbCommands(app, context);
    qf::cli::AddViewCommands(app, context);
    qf::cli::AddFeedCommands(app, context);
    qf::cli::AddItemCommands(app, context);
    qf::cli::AddListingCommand(app, context);
    qf::cli::AddSearchCommand(app, context);
    qf::cli::AddSubscriptionCommands(app, context);
    qf::cli::AddBackupCommands(app, context);
    qf::cli::AddRefreshCommands(app, context);
    qf::cli::AddDeviceCommands(app, context);
    qf::cli::AddOpmlCommands(app, context);
    qf::cli::AddStatusCommand(app, context);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "quillfeed: " << e.what() << '\n';
        return e.get_exit_code() == 0 ? 2 : e.get_exit_code();
    }

    // The standard library may still throw (a file system call, memory): such a failure is reported as
    // the command's own are.
    qf::cli::CommandResult result = 0;
    try {
        result = context.RunAction();
    } catch (const std::exception& e) {
        result = qf::cli::Fail(e.what());
    }
    if (result) return *result;
    const qf::cli::CommandFailure& failure = result.failure();
    if (context.json()) qf::cli::PrintJson({{"ok", false}, {"error", failure.message}});
    std::cerr << "quillfeed: " << failure.message << '\n';
    return failure.exit_code;
}
