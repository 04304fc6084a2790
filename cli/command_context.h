// What every `quillfeed` command shares: the global options, the device it works on, and how it reports
// results (text or JSON on stdout, one-line errors on stderr).
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "command_result.h"

namespace qf::cli {

enum class DeviceNeed { kExisting, kMayCreate };

class CommandContext {
  public:
    // Registers --device and --json on the main application.
    explicit CommandContext(CLI::App& app);

    // Points the device runtime at the chosen device (--device, else QUILLFEED_DEVICE, else the
    // default). Fails when `need` is kExisting and no device was set up there, and when the device's
    // registry file is damaged.
    Status UseDevice(DeviceNeed need);
    bool json() const { return json_; }

    // The subcommand's callback stores its work here; main runs it after parsing and prints its failure.
    void SetAction(std::function<CommandResult()> action) { action_ = std::move(action); }
    CommandResult RunAction() const { return action_ ? action_() : CommandResult(0); }

  private:
    std::string device_dir_;
    bool json_ = false;
    std::function<CommandResult()> action_;
};

// A subcommand's callback that stores `run(context, *args)` as the command's action; `args` holds the
// options CLI11 fills in.
template <typename Args>
std::function<void()> Action(CommandContext& context, std::shared_ptr<Args> args,
                             CommandResult (*run)(CommandContext&, const Args&)) {
    return
        [&context, args, run] { context.SetAction([&context, args, run] { return run(context, *args); }); };
}

// Prints `value` as one line of JSON on stdout.
void PrintJson(const nlohmann::json& value);

// Writes a command's text output to the stream it is given.
using TextPrinter = std::function<void(std::ostream& out)>;

// Prints what a command that succeeded has to say: `fields` with "ok": true as one line of JSON with
// --json, else what `text` writes to stdout. Answers exit code 0.
CommandResult Reply(const CommandContext& context, nlohmann::json fields, const TextPrinter& text);
// As Reply, with `value` printed as it is (without "ok").
CommandResult ReplyAsIs(const CommandContext& context, const nlohmann::json& value, const TextPrinter& text);

}  // namespace qf::cli
