// `quillfeed device network [up | down | slow [SECONDS] | drop-after N] [--proxy HOST:PORT]`: shows or
// sets the emulated device's network, which the download run's connection and fetches answer from.
#include <iostream>

#include "commands/commands.h"
#include "commands/db_session.h"
#include "qfdevice/network.h"

namespace qf::cli {
namespace {

struct NetworkArgs {
    std::vector<std::string> words;
    std::optional<std::string> proxy;
};

long long Number(const std::string& text, const char* what) {
    try {
        size_t used = 0;
        long long value = std::stoll(text, &used);
        if (used == text.size() && value >= 0) return value;
    } catch (const std::exception&) {
    }
    throw CommandError(std::string(what) + " must be a whole number of at least 0, not '" + text + "'");
}

device::NetworkState Changed(device::NetworkState state, const NetworkArgs& args) {
    const std::vector<std::string>& words = args.words;
    if (!words.empty()) {
        const std::string& what = words[0];
        size_t expected = 1;
        if (what == "drop-after") {
            Require(words.size() == 2, "drop-after needs the number of requests");
            state.drop_after_requests = Number(words[1], "drop-after");
            expected = 2;
        } else {
            std::optional<device::NetworkState::Link> link = device::LinkFromName(what);
            Require(link.has_value(), "unknown network state '" + what + "' (up, down, slow, drop-after)");
            state.link = *link;
            state.drop_after_requests.reset();
            if (*link == device::NetworkState::Link::kSlow && words.size() == 2) {
                state.connect_delay_ms = Number(words[1], "slow") * 1000;
                expected = 2;
            }
        }
        Require(words.size() == expected, "too many words after " + what);
    }
    if (args.proxy) state.proxy = *args.proxy;
    return state;
}

int RunNetwork(CommandContext& context, const NetworkArgs& args) {
    context.UseDevice(DeviceNeed::kExisting);
    device::NetworkState state = device::CurrentNetworkState();
    if (!args.words.empty() || args.proxy) {
        state = Changed(state, args);
        Require(device::SaveNetworkState(state), "cannot save the network state");
    }
    nlohmann::json drop =
        state.drop_after_requests ? nlohmann::json(*state.drop_after_requests) : nlohmann::json();
    if (context.json()) {
        PrintJson({{"ok", true},
                   {"link", device::LinkName(state.link)},
                   {"connectDelayMs", state.connect_delay_ms},
                   {"dropAfterRequests", drop},
                   {"proxy", state.proxy}});
        return 0;
    }
    std::cout << "network " << device::LinkName(state.link);
    if (state.link == device::NetworkState::Link::kSlow) {
        std::cout << " (connects " << state.connect_delay_ms / 1000.0 << " s after it is asked to)";
    }
    if (state.drop_after_requests) std::cout << ", drops after " << *state.drop_after_requests << " requests";
    if (!state.proxy.empty()) std::cout << ", proxy " << state.proxy;
    std::cout << '\n';
    return 0;
}

}  // namespace

void AddDeviceCommands(CLI::App& app, CommandContext& context) {
    auto args = std::make_shared<NetworkArgs>();
    CLI::App* device = app.add_subcommand("device", "The emulated device itself");
    device->require_subcommand(1);
    CLI::App* network = device->add_subcommand(
        "network", "Show or set the device's network: up, down, slow [SECONDS], drop-after N");
    network->add_option("state", args->words, "up | down | slow [SECONDS] | drop-after N");
    network->add_option("--proxy", args->proxy, "The device's HTTP proxy, HOST:PORT (empty for none)");
    network->callback(
        [&context, args] { context.SetAction([&context, args] { return RunNetwork(context, *args); }); });
}

}  // namespace qf::cli
