#include "command_context.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "qfdevice/device.h"

namespace qf::cli {

CommandContext::CommandContext(CLI::App& app) {
    app.add_option("--device", device_dir_,
                   "Device root folder (default: $QUILLFEED_DEVICE, then "
                   "$XDG_DATA_HOME/quillfeed/device)");
    app.add_flag("--json", json_, "Print results as JSON");
}

Status CommandContext::UseDevice(DeviceNeed need) {
    if (!device_dir_.empty()) qf::device::SetDeviceRoot(device_dir_);
    std::filesystem::path root = qf::device::DeviceRoot();
    if (need == DeviceNeed::kExisting && !std::filesystem::is_directory(qf::device::StateDir())) {
        return Fail("no device at " + root.string() + " (run 'quillfeed init' first)");
    }
    // Every setting would read as its default and every write would be lost: nothing may go on as if the
    // device were empty (the database it names would look missing).
    if (!qf::device::IsRegistryFileReadable()) {
        return Fail("the device's registry file " + qf::device::RegistryFilePath().string() +
                    " is damaged; restore it from a copy, or move it away to start with an empty "
                    "registry");
    }
    return {};
}

void PrintJson(const nlohmann::json& value) {
    std::cout << value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

CommandResult Reply(const CommandContext& context, nlohmann::json fields, const TextPrinter& text) {
    fields["ok"] = true;
    return ReplyAsIs(context, fields, text);
}

CommandResult ReplyAsIs(const CommandContext& context, const nlohmann::json& value, const TextPrinter& text) {
    if (context.json()) {
        PrintJson(value);
    } else {
        text(std::cout);
    }
    return 0;
}

}  // namespace qf::cli
