#include "serve_command.h"

#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include "qfdevice/install_layout.h"
#include "serve_rules.h"

namespace qf::emu {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kOriginPlaceholder = "{{ORIGIN}}";

struct ContentType {
    std::string_view extension;
    std::string_view type;
    bool text;  // gets the origin filled in
};

constexpr ContentType kContentTypes[] = {
    {".xml", "text/xml; charset=utf-8", true},
    {".rss", "application/rss+xml", true},
    {".atom", "application/atom+xml", true},
    {".opml", "text/x-opml; charset=utf-8", true},
    {".htm", "text/html; charset=utf-8", true},
    {".html", "text/html; charset=utf-8", true},
    {".txt", "text/plain; charset=utf-8", true},
    {".mp3", "audio/mpeg", false},
    {".png", "image/png", false},
    {".gif", "image/gif", false},
    {".jpg", "image/jpeg", false},
    {".jpeg", "image/jpeg", false},
};

const ContentType& ContentTypeOf(const fs::path& file) {
    static constexpr ContentType kOther{"", "application/octet-stream", false};
    std::string extension = file.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const ContentType& type : kContentTypes) {
        if (type.extension == extension) return type;
    }
    return kOther;
}

std::optional<std::string> ReadWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

class FolderServer {
  public:
    FolderServer(fs::path root, const ServeOptions& options) : root_(std::move(root)), options_(options) {
        server_.set_keep_alive_timeout(1);  // so that a stop never waits long for an idle client
        server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            Answer(request, response);
        });
        server_.set_logger([this](const httplib::Request& request, const httplib::Response& response) {
            std::lock_guard lock(log_mutex_);
            std::cerr << request.method << ' ' << request.path << ' ' << response.status << std::endl;
        });
    }

    // Reads the rules once up front so that a bad rule is reported before serving.
    bool LoadRules(std::string& error) {
        std::lock_guard lock(rules_mutex_);
        return ReadRules(rules_, error);
    }

    // The bound port; -1 with `error` set when the port cannot be had.
    int Bind(int port, std::string& error) {
        if (port == 0) {
            port_ = server_.bind_to_any_port("127.0.0.1");
        } else {
            port_ = server_.bind_to_port("127.0.0.1", port) ? port : -1;
        }
        if (port_ < 0) error = "cannot listen on 127.0.0.1 port " + std::to_string(port);
        return port_;
    }

    // Serves on the calling thread until Stop (or until listening fails).
    void Run() {
        server_.listen_after_bind();
        std::lock_guard lock(stop_mutex_);
        ran_ = true;
        stop_cv_.notify_all();
    }

    // Any thread: wakes waiting delays and returns once Run has ended. The server ignores a stop that
    // comes before it has started listening, so the stop is repeated until Run ends.
    void Stop() {
        std::unique_lock lock(stop_mutex_);
        stopping_ = true;
        stop_cv_.notify_all();
        while (!ran_) {
            server_.stop();
            stop_cv_.wait_for(lock, std::chrono::milliseconds(10));
        }
    }

  private:
    bool ReadRules(ServeRules& rules, std::string& error) const {
        ServeRules read;
        if (!options_.rules_file.empty()) {
            std::optional<std::string> text = ReadWhole(options_.rules_file);
            if (!text) {
                error = "cannot read the rules file " + options_.rules_file;
                return false;
            }
            if (!read.AddLines(*text, error)) {
                error = options_.rules_file + " " + error;
                return false;
            }
        }
        for (const std::string& line : options_.rules) {
            if (!read.Add(line, error)) {
                error = "rule '" + line + "': " + error;
                return false;
            }
        }
        rules = std::move(read);
        return true;
    }

    // The rule for `path`, the rules file read afresh; a file that went bad keeps the rules before it.
    ServeRule RuleFor(const std::string& path) {
        std::lock_guard lock(rules_mutex_);
        std::string error;
        if (!options_.rules_file.empty() && !ReadRules(rules_, error)) {
            std::lock_guard log_lock(log_mutex_);
            std::cerr << "quillfeed-emu: " << error << " (keeping the rules before)" << std::endl;
        }
        return rules_.For(path);
    }

    // Waits `delay_ms` unless the server stops first.
    void Delay(int delay_ms) {
        std::unique_lock lock(stop_mutex_);
        stop_cv_.wait_for(lock, std::chrono::milliseconds(delay_ms), [this] { return stopping_; });
    }

    // The file a request path names inside the folder; nullopt for a path that would leave it or names
    // nothing there. A folder answers its index.html.
    std::optional<fs::path> Resolve(const std::string& request_path) const {
        fs::path file = root_;
        for (const fs::path& part : fs::path(request_path).relative_path()) {
            if (part == ".." || part == ".") return std::nullopt;
            if (!part.empty()) file /= part;
        }
        std::error_code error;
        if (fs::is_directory(file, error)) file /= "index.html";
        if (!fs::is_regular_file(file, error)) return std::nullopt;
        return file;
    }

    void Answer(const httplib::Request& request, httplib::Response& response) {
        ServeRule rule = RuleFor(request.path);
        if (rule.delay_ms > 0) Delay(rule.delay_ms);
        if (!rule.redirect.empty()) {
            response.set_redirect(rule.redirect, rule.status != 0 ? rule.status : 302);
        } else if (rule.status != 0) {
            response.status = rule.status;
            response.set_content("status " + std::to_string(rule.status) + "\n", "text/plain");
        } else {
            ServeFile(request, response);
        }
    }

    void ServeFile(const httplib::Request& request, httplib::Response& response) const {
        std::optional<fs::path> file = Resolve(request.path);
        std::optional<std::string> body = file ? ReadWhole(*file) : std::nullopt;
        if (!body) {
            response.status = 404;
            response.set_content("not found\n", "text/plain");
            return;
        }
        const ContentType& type = ContentTypeOf(*file);
        if (type.text) {
            std::string host = request.get_header_value("Host");
            ReplaceAll(*body, kOriginPlaceholder,
                       "http://" + (host.empty() ? "127.0.0.1:" + std::to_string(port_) : host));
        }
        response.set_content(std::move(*body), std::string(type.type).c_str());
    }

    fs::path root_;
    const ServeOptions& options_;
    httplib::Server server_;
    int port_ = 0;
    std::mutex rules_mutex_;
    ServeRules rules_;
    std::mutex log_mutex_;
    std::mutex stop_mutex_;
    std::condition_variable stop_cv_;
    bool stopping_ = false;
    bool ran_ = false;
};

int Fail(const std::string& message) {
    std::cerr << "quillfeed-emu: " << message << '\n';
    return 1;
}

}  // namespace

CLI::App* AddServeCommand(CLI::App& app, ServeOptions& options) {
    CLI::App* serve =
        app.add_subcommand("serve", "Serve a folder over HTTP on 127.0.0.1 until SIGINT or SIGTERM");
    serve->add_option("folder", options.folder, "The folder to serve (default: the sample feeds)");
    serve->add_option("--port", options.port, "Port to listen on (0: any free port, printed)")
        ->check(CLI::Range(0, 65535));
    serve->add_option("--port-file", options.port_file, "Write the port to FILE once listening");
    serve->add_option("--rules", options.rules_file,
                      "Rules file, one 'PATH BEHAVIOUR...' a line, read again for every request");
    serve
        ->add_option("--rule", options.rules,
                     "A rule line: PATH (or *) with delay MS, status CODE, redirect TARGET")
        ->allow_extra_args(false);
    return serve;
}

int RunServe(const ServeOptions& options) {
    fs::path folder = options.folder;
    if (folder.empty()) {
        fs::path resources = device::ResourceFolder();
        if (resources.empty()) return Fail("no folder given, and the sample feeds are not installed");
        folder = resources / "demo";
    }
    std::error_code error;
    fs::path root = fs::canonical(folder, error);
    if (error || !fs::is_directory(root)) return Fail("cannot serve " + folder.string() + ": not a folder");

    // Blocked before any server thread starts, so that only the waiting thread below takes them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    FolderServer server(root, options);
    std::string message;
    if (!server.LoadRules(message)) return Fail(message);
    int port = server.Bind(options.port, message);
    if (port < 0) return Fail(message);
    if (!options.port_file.empty() && !(std::ofstream(options.port_file) << port << '\n')) {
        return Fail("cannot write " + options.port_file);
    }
    std::cout << "Serving " << root.string() << " at http://127.0.0.1:" << port << "/" << std::endl;

    std::thread stopper([&server, signals] {
        int received = 0;
        sigwait(&signals, &received);
        server.Stop();
    });
    server.Run();
    // Run also ends when listening fails; the stopper is then still waiting for its signal.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return 0;
}

}  // namespace qf::emu
