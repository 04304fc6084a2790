// What every `quillfeed` command shares: the global options, the device it works on, and how it reports
// results (text or JSON on stdout, one-line errors on stderr).
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

namespace qf::cli {

// A failure that ends the command: printed as one line "quillfeed: <message>" on stderr (and as
// {"ok":false,"error":...} on stdout with --json), exit code `exit_code`.
class CommandError : public std::runtime_error {
  public:
    explicit CommandError(const std::string& message, int exit_code = 1)
        : std::runtime_error(message), exit_code_(exit_code) {}
    int exit_code() const { return exit_code_; }

  private:
    int exit_code_;
};

enum class DeviceNeed { kExisting, kMayCreate };

class CommandContext {
  public:
    // Registers --device and --json on the main application.
    explicit CommandContext(CLI::App& app);

    // Points the device runtime at the chosen device (--device, else QUILLFEED_DEVICE, else the
    // default). Throws CommandError when `need` is kExisting and no device was set up there, and when the
    // device's registry file is damaged.
    void UseDevice(DeviceNeed need);
    bool json() const { return json_; }

    // The subcommand's callback stores its work here; main runs it after parsing. It answers the exit
    // code and may throw CommandError.
    void SetAction(std::function<int()> action) { action_ = std::move(action); }
    int RunAction() const { return action_ ? action_() : 0; }

  private:
    std::string device_dir_;
    bool json_ = false;
    std::function<int()> action_;
};

// Prints `value` as one line of JSON on stdout.
void PrintJson(const nlohmann::json& value);

}  // namespace qf::cli
