#include "script_feed.h"

#include <unistd.h>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "script.h"

namespace qf::emu {
namespace {

// std::getline that stops one character past kMaxScriptLine.
bool ReadLine(std::istream& in, std::string& line) {
    line.clear();
    for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
        if (c == '\n') return true;
        line.push_back(static_cast<char>(c));
        if (line.size() > kMaxScriptLine) return true;
    }
    return !line.empty();
}

// One line of standard input without its end, like ReadLine; false at the end of the input. Reads the
// descriptor itself rather than std::cin: the reader may still wait here while the process exits, and
// std::cin is torn down then.
bool ReadStandardInputLine(std::string& line) {
    line.clear();
    char c;
    for (;;) {
        ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return !line.empty();
        if (c == '\n') return true;
        line += c;
        if (line.size() > kMaxScriptLine) return true;
    }
}

}  // namespace

// Lives as long as the reader or the feed, whichever ends last.
struct ScriptFeed::Shared {
    std::mutex mutex;
    std::deque<std::string> lines;
    bool ended = false;
    bool closed = false;  // the feed is gone: its window may be too
};

ScriptFeed::ScriptFeed(const std::string& path, HWND window, UINT wake_message)
    : shared_(std::make_shared<Shared>()) {
    std::unique_ptr<std::istream> owned;
    if (path != "-") {
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) return;
        owned = std::make_unique<std::ifstream>(path);
        if (!*owned) return;
    }
    opened_ = true;
    std::thread reader([shared = shared_, file = std::move(owned), window, wake_message] {
        std::string line;
        bool more = true;
        while (more) {
            more = file ? ReadLine(*file, line) : ReadStandardInputLine(line);
            // A line past the limit is handed on for the parse to refuse, and nothing more is read: the
            // input may have no end (/dev/zero).
            bool overlong = more && line.size() > kMaxScriptLine;
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                if (shared->closed) return;
                if (more) shared->lines.push_back(line);
                if (!more || overlong) shared->ended = true;
                // Under the lock, so that no wake-up reaches a window manager the process is tearing down.
                PostMessageW(window, wake_message, 0, 0);
            }
            if (overlong) more = false;
        }
    });
    reader.detach();
}

ScriptFeed::~ScriptFeed() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->closed = true;
}

std::optional<std::string> ScriptFeed::NextLine() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (shared_->lines.empty()) return std::nullopt;
    std::string line = std::move(shared_->lines.front());
    shared_->lines.pop_front();
    return line;
}

bool ScriptFeed::AtEnd() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->ended && shared_->lines.empty();
}

}  // namespace qf::emu
