// The device's network state: a small JSON file in the state folder, read and written under an flock()
// of a lock file beside it, so that processes counting requests against a drop never lose a count.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>

#include "net/network_internal.h"
#include "qfdevice/device.h"
#include "qfdevice/network.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace qf::device {
namespace {

fs::path StateFile() { return StateDir() / "network.json"; }

// An exclusive or shared flock() of the lock file for the object's lifetime; without the state folder
// (a device never set up) it holds nothing, and reads give the defaults.
class StateFileLock {
  public:
    explicit StateFileLock(int operation) {
        std::error_code ignored;
        fs::create_directories(StateDir(), ignored);
        fd_ = ::open((StateDir() / "network.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ >= 0) ::flock(fd_, operation);
    }
    ~StateFileLock() {
        if (fd_ >= 0) ::close(fd_);  // closing drops the lock
    }
    StateFileLock(const StateFileLock&) = delete;
    StateFileLock& operator=(const StateFileLock&) = delete;

  private:
    int fd_ = -1;
};

NetworkState FromJson(const json& object) {
    NetworkState state;
    if (!object.is_object()) return state;
    if (auto link = object.find("link"); link != object.end() && link->is_string()) {
        state.link = LinkFromName(link->get<std::string>()).value_or(NetworkState::Link::kUp);
    }
    if (auto delay = object.find("connect_delay_ms"); delay != object.end() && delay->is_number_integer()) {
        state.connect_delay_ms = std::max<std::int64_t>(0, delay->get<std::int64_t>());
    }
    if (auto drop = object.find("drop_after_requests"); drop != object.end() && drop->is_number_integer()) {
        state.drop_after_requests = std::max<std::int64_t>(0, drop->get<std::int64_t>());
    }
    if (auto proxy = object.find("proxy"); proxy != object.end() && proxy->is_string()) {
        state.proxy = proxy->get<std::string>();
    }
    return state;
}

json ToJson(const NetworkState& state) {
    json object = {
        {"link", LinkName(state.link)}, {"connect_delay_ms", state.connect_delay_ms}, {"proxy", state.proxy}};
    if (state.drop_after_requests) object["drop_after_requests"] = *state.drop_after_requests;
    return object;
}

// Lock held.
NetworkState ReadState() {
    std::ifstream in(StateFile(), std::ios::binary);
    if (!in) return NetworkState{};
    std::stringstream text;
    text << in.rdbuf();
    return FromJson(json::parse(text.str(), nullptr, /*allow_exceptions=*/false));
}

// Lock held (exclusively). Written aside and renamed, so a reader never sees half a file.
bool WriteState(const NetworkState& state) {
    fs::path aside = StateFile();
    aside += ".new";
    {
        std::ofstream out(aside, std::ios::binary | std::ios::trunc);
        out << ToJson(state).dump();
        if (!out.flush()) return false;
    }
    std::error_code error;
    fs::rename(aside, StateFile(), error);
    return !error;
}

std::mutex listeners_mutex;
std::map<int, std::function<void()>> link_down_listeners;  // guarded by listeners_mutex
int next_listener_id = 1;                                  // guarded by listeners_mutex

std::mutex requests_mutex;
std::vector<RequestRecord> recent_requests;  // guarded by requests_mutex
constexpr size_t kMaxRecentRequests = 1000;

}  // namespace

std::optional<NetworkState::Link> LinkFromName(std::string_view name) {
    if (name == "up") return NetworkState::Link::kUp;
    if (name == "down") return NetworkState::Link::kDown;
    if (name == "slow") return NetworkState::Link::kSlow;
    return std::nullopt;
}

std::string LinkName(NetworkState::Link link) {
    switch (link) {
        case NetworkState::Link::kDown:
            return "down";
        case NetworkState::Link::kSlow:
            return "slow";
        case NetworkState::Link::kUp:
            break;
    }
    return "up";
}

NetworkState CurrentNetworkState() {
    std::error_code ignored;
    if (!fs::exists(StateFile(), ignored)) return NetworkState{};
    StateFileLock lock(LOCK_SH);
    return ReadState();
}

bool SaveNetworkState(const NetworkState& state) {
    StateFileLock lock(LOCK_EX);
    return WriteState(state);
}

bool CountNetworkRequest() {
    std::error_code ignored;
    if (!fs::exists(StateFile(), ignored)) return true;
    StateFileLock lock(LOCK_EX);
    NetworkState state = ReadState();
    if (state.link != NetworkState::Link::kUp) return false;
    if (!state.drop_after_requests) return true;
    if (*state.drop_after_requests <= 0) {
        state.link = NetworkState::Link::kDown;
        state.drop_after_requests.reset();
        WriteState(state);
        NotifyLinkDown();
        return false;
    }
    --*state.drop_after_requests;
    WriteState(state);
    return true;
}

int AddLinkDownListener(std::function<void()> listener) {
    std::lock_guard lock(listeners_mutex);
    link_down_listeners.emplace(next_listener_id, std::move(listener));
    return next_listener_id++;
}

void RemoveLinkDownListener(int id) {
    std::lock_guard lock(listeners_mutex);
    link_down_listeners.erase(id);
}

void NotifyLinkDown() {
    std::lock_guard lock(listeners_mutex);
    for (auto& [id, listener] : link_down_listeners) listener();
}

void RecordRequest(RequestRecord record) {
    std::lock_guard lock(requests_mutex);
    if (recent_requests.size() >= kMaxRecentRequests) recent_requests.erase(recent_requests.begin());
    recent_requests.push_back(std::move(record));
}

std::vector<RequestRecord> RecentRequests() {
    std::lock_guard lock(requests_mutex);
    return recent_requests;
}

void ClearRecentRequests() {
    std::lock_guard lock(requests_mutex);
    recent_requests.clear();
}

}  // namespace qf::device
