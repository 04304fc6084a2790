// A loopback HTTP server for tests: cpp-httplib on 127.0.0.1 and a free port, serving on its own thread.
// Each path answers as its Route says (status, body, delay, a stall or a cut in the body, a redirect,
// a slow trickle); the server counts hits per path and the connections the requests came on, and keeps
// the last user agent. Unknown paths answer 404.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace qf::test {

struct Route {
    int status = 200;
    std::string body{};
    std::string content_type = "application/xml";
    // After this many body bytes the response stops: held open until the server stops (stall), or the
    // connection is closed although the declared length is not reached (cut).
    std::optional<size_t> stall_after{};
    std::optional<size_t> cut_after{};
    std::chrono::milliseconds trickle{0};  // pause before each 1 KB piece of the body
    std::string redirect_to{};             // answer 302 with this Location instead

    static Route Status(int status, std::string body) { return {.status = status, .body = std::move(body)}; }
    static Route Redirect(std::string location) { return {.redirect_to = std::move(location)}; }
    static Route Cut(std::string body, size_t after) { return {.body = std::move(body), .cut_after = after}; }
    static Route Stall(std::string body, size_t after) {
        return {.body = std::move(body), .stall_after = after};
    }
    static Route Trickle(std::string body, std::chrono::milliseconds pause) {
        return {.body = std::move(body), .trickle = pause};
    }
};

// An RSS 2.0 feed titled `name` with `items` stories: "<name> story <n>" with the guid "<name>-<n>", a link,
// and the description "About <name> <n>" followed by `padding` letters (to make the file as long as a test
// needs).
std::string StoryFeed(const std::string& name, int items, size_t padding = 0);

class FeedServer {
  public:
    // Listens at once. Main test thread.
    FeedServer();
    // Releases stalled responses and stops.
    ~FeedServer();
    FeedServer(const FeedServer&) = delete;
    FeedServer& operator=(const FeedServer&) = delete;

    // Any thread. `path` starts with "/".
    void Set(const std::string& path, Route route);
    void Serve(const std::string& path, std::string body);
    std::string Url(const std::string& path) const;
    int port() const { return port_; }
    int Hits(const std::string& path) const;
    // Distinct client connections that requests arrived on.
    size_t Connections() const;
    std::string LastUserAgent() const;

  private:
    std::optional<Route> Find(const std::string& path, const std::string& user_agent, int client_port);
    // Waits until the server stops (or `wait` passes); false when it stopped.
    bool Hold(std::chrono::milliseconds wait);

    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;  // guards the fields below
    std::condition_variable stopping_cv_;
    bool stopping_ = false;
    std::map<std::string, Route> routes_;
    std::map<std::string, int> hits_;
    std::set<int> client_ports_;
    std::string last_user_agent_;
};

}  // namespace qf::test
