// `quillfeed device network [up | down | slow [SECONDS] | drop-after N] [--proxy HOST:PORT]`: shows or
// sets the emulated device's network, which the download run's connection and fetches answer from.
#include <cerrno>
#include <cstdlib>
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

// A whole number of at least 0, read as std::stoll reads it (leading blanks and a sign allowed).
Expected<long long> Number(const std::string& text, const char* what) {
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (end != text.c_str() && *end == '\0' && errno == 0 && value >= 0) return value;
    return Fail(std::string(what) + " must be a whole number of at least 0, not '" + text + "'");
}

Expected<device::NetworkState> Changed(device::NetworkState state, const NetworkArgs& args) {
    const std::vector<std::string>& words = args.words;
    if (!words.empty()) {
        const std::string& what = words[0];
        size_t expected = 1;
        if (what == "drop-after") {
            if (words.size() != 2) return Fail("drop-after needs the number of requests");
            Expected<long long> requests = Number(words[1], "drop-after");
            if (!requests) return requests.failure();
            state.drop_after_requests = *requests;
            expected = 2;
        } else {
            std::optional<device::NetworkState::Link> link = device::LinkFromName(what);
            if (!link) return Fail("unknown network state '" + what + "' (up, down, slow, drop-after)");
            state.link = *link;
            state.drop_after_requests.reset();
            if (*link == device::NetworkState::Link::kSlow && words.size() == 2) {
                Expected<long long> seconds = Number(words[1], "slow");
                if (!seconds) return seconds.failure();
                state.connect_delay_ms = *seconds * 1000;
                expected = 2;
            }
        }
        if (words.size() != expected) return Fail("too many words after " + what);
    }
    if (args.proxy) state.proxy = *args.proxy;
    return state;
}

CommandResult RunNetwork(CommandContext& context, const NetworkArgs& args) {
    if (Status used = context.UseDevice(DeviceNeed::kExisting); !used) return used.failure();
    device::NetworkState state = device::CurrentNetworkState();
    if (!args.words.empty() || args.proxy) {
        Expected<device::NetworkState> changed = Changed(state, args);
        if (!changed) return changed.failure();
        state = *changed;
        if (!device::SaveNetworkState(state)) return Fail("cannot save the network state");
    }
    nlohmann::json drop =
        state.drop_after_requests ? nlohmann::json(*state.drop_after_requests) : nlohmann::json();
    return Reply(context,
                 {{"link", device::LinkName(state.link)},
                  {"connectDelayMs", state.connect_delay_ms},
                  {"dropAfterRequests", drop},
                  {"proxy", state.proxy}},
                 [&](std::ostream& out) {
                     out << "network " << device::LinkName(state.link);
                     if (state.link == device::NetworkState::Link::kSlow) {
                         out << " (connects " << state.connect_delay_ms / 1000.0
                             << " s after it is asked to)";
                     }
                     if (state.drop_after_requests)
                         out << ", drops after " << *state.drop_after_requests << " requests";
                     if (!state.proxy.empty()) out << ", proxy " << state.proxy;
                     out << '\n';
                 });
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
    network->callback(Action(context, args, RunNetwork));
}

}  // namespace qf::cli
