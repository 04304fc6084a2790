// The command groups of `quillfeed`. Each adds its subcommands to `app`; their callbacks store the work
// in `context` (see CommandContext::SetAction).
#pragma once

#include "command_context.h"

namespace qf::cli {

void AddInitCommand(CLI::App& app, CommandContext& context);
void AddSettingsCommands(CLI::App& app, CommandContext& context);
void AddParseCommand(CLI::App& app, CommandContext& context);
void AddDateCommand(CLI::App& app, CommandContext& context);
void AddTextCommands(CLI::App& app, CommandContext& context);
void AddDbCommands(CLI::App& app, CommandContext& context);
void AddViewCommands(CLI::App& app, CommandContext& context);
void AddFeedCommands(CLI::App& app, CommandContext& context);
void AddItemCommands(CLI::App& app, CommandContext& context);
void AddListingCommand(CLI::App& app, CommandContext& context);
void AddSearchCommand(CLI::App& app, CommandContext& context);
void AddSubscriptionCommands(CLI::App& app, CommandContext& context);
void AddBackupCommands(CLI::App& app, CommandContext& context);
void AddRefreshCommands(CLI::App& app, CommandContext& context);
void AddDeviceCommands(CLI::App& app, CommandContext& context);
void AddOpmlCommands(CLI::App& app, CommandContext& context);

}  // namespace qf::cli
