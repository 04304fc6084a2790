#include "support/feed_server.h"

#include <httplib.h>

namespace qf::test {

std::string StoryFeed(const std::string& name, int items, size_t padding) {
    std::string text =
        "<rss version=\"2.0\"><channel><title>" + name + "</title><link>http://example.com/</link>";
    for (int i = 0; i < items; ++i) {
        std::string n = std::to_string(i);
        text += "<item><title>" + name + " story " + n + "</title><guid>" + name + "-" + n +
                "</guid><link>http://example.com/" + name + "/" + n + "</link><description>About " + name +
                " " + n + std::string(padding, 'd') + "</description></item>";
    }
    return text + "</channel></rss>";
}
namespace {

constexpr size_t kPiece = 1024;
constexpr auto kLongestStall = std::chrono::seconds(60);

}  // namespace

FeedServer::FeedServer() : server_(std::make_unique<httplib::Server>()) {
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::optional<Route> route =
            Find(request.path, request.get_header_value("User-Agent"), request.remote_port);
        if (!route) {
            response.status = 404;
            response.set_content("<html><body>Not found</body></html>", "text/html");
            return;
        }
        response.status = route->status;
        if (!route->redirect_to.empty()) {
            response.set_redirect(route->redirect_to);
            return;
        }
        auto body = std::make_shared<std::string>(std::move(route->body));
        size_t end =
            std::min(body->size(), route->stall_after.value_or(route->cut_after.value_or(body->size())));
        Route shape = *route;
        response.set_content_provider(
            body->size(), shape.content_type,
            [this, body, end, shape](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset >= end) {
                    // A stall holds the connection; a cut drops it short of the declared length.
                    if (shape.stall_after) Hold(kLongestStall);
                    return false;
                }
                if (shape.trickle.count() > 0 && !Hold(shape.trickle)) return false;
                size_t count = std::min(kPiece, end - offset);
                return sink.write(body->data() + offset, count);
            });
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() before the loop runs would be lost, and the loop would never end.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FeedServer::~FeedServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopping_cv_.notify_all();
    server_->stop();
    thread_.join();
}

bool FeedServer::Hold(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    return !stopping_cv_.wait_for(lock, wait, [this] { return stopping_; });
}

void FeedServer::Set(const std::string& path, Route route) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(route);
}

void FeedServer::Serve(const std::string& path, std::string body) {
    Set(path, Route::Status(200, std::move(body)));
}

std::string FeedServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int FeedServer::Hits(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto it = hits_.find(path);
    return it == hits_.end() ? 0 : it->second;
}

size_t FeedServer::Connections() const {
    std::lock_guard lock(mutex_);
    return client_ports_.size();
}

std::string FeedServer::LastUserAgent() const {
    std::lock_guard lock(mutex_);
    return last_user_agent_;
}

std::optional<Route> FeedServer::Find(const std::string& path, const std::string& user_agent,
                                      int client_port) {
    std::lock_guard lock(mutex_);
    ++hits_[path];
    client_ports_.insert(client_port);
    last_user_agent_ = user_agent;
    auto it = routes_.find(path);
    if (it == routes_.end()) return std::nullopt;
    return it->second;
}

}  // namespace qf::test
