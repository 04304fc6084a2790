// Host-side control of the emulated device's network, which WinINet and Connection Manager answer from.
// The state lives in the device root, so the command line, the emulator and tests share it across
// processes; a fresh device is online.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "win/types.h"

namespace qf::device {

struct NetworkState {
    enum class Link {
        kUp,    // connected: a connection request finds it up at once
        kDown,  // offline: HTTP fails and connection requests fail
        kSlow,  // offline until asked: a connection request connects after connect_delay_ms
    };
    Link link = Link::kUp;
    std::int64_t connect_delay_ms = 12000;  // kSlow only
    // When set, the link goes down after this many more HTTP requests (each InternetOpenUrlW counts).
    std::optional<std::int64_t> drop_after_requests;
    // The device's configured HTTP proxy ("host:port"), answered to Connection Manager's proxy request
    // and used by INTERNET_OPEN_TYPE_PRECONFIG; empty for none.
    std::string proxy;
};

// Any thread. The device's network state (defaults when none was saved or it cannot be read).
NetworkState CurrentNetworkState();
// Any thread. Saves the state; false on an I/O error.
bool SaveNetworkState(const NetworkState& state);
// Any thread. Counts one HTTP request against drop_after_requests (going down when it runs out) and
// answers whether the link is up for it.
bool CountNetworkRequest();

// "up", "down", "slow"; nullopt for anything else.
std::optional<NetworkState::Link> LinkFromName(std::string_view name);
std::string LinkName(NetworkState::Link link);

// One HTTP request as WinINet made it, for tests.
struct RequestRecord {
    std::u16string url;
    DWORD access_type = 0;       // of the internet handle
    std::u16string proxy;        // the proxy used, empty for none
    DWORD flags = 0;             // InternetOpenUrlW's flags
    bool reused_handle = false;  // the internet handle had served a request before
};
// Any thread. The requests of this process, oldest first (at most the last 1000).
std::vector<RequestRecord> RecentRequests();
void ClearRecentRequests();

}  // namespace qf::device
