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

    try {
        return context.RunAction();
    } catch (const qf::cli::CommandError& e) {
        if (context.json()) qf::cli::PrintJson({{"ok", false}, {"error", e.what()}});
        std::cerr << "quillfeed: " << e.what() << '\n';
        return e.exit_code();
    } catch (const std::exception& e) {
        if (context.json()) qf::cli::PrintJson({{"ok", false}, {"error", e.what()}});
        std::cerr << "quillfeed: " << e.what() << '\n';
        return 1;
    }
}
