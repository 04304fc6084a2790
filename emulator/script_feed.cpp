#include "script_feed.h"

#include <unistd.h>

#include <cerrno>
#include <deque>
#include <fstream>
#include <mutex>
#include <thread>

namespace qf::emu {

namespace {

// One line of standard input without its end; false at the end of the input. Reads the descriptor
// itself rather than std::cin: the reader may still wait here while the process exits, and std::cin is
// torn down then.
bool ReadStandardInputLine(std::string& line) {
    line.clear();
    char c;
    for (;;) {
        ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return !line.empty();
        if (c == '\n') return true;
        line += c;
    }
}

}  // namespace

// Lives as long as the reader or the feed, whichever ends last.
struct ScriptFeed::Shared {
    std::mutex mutex;
    std::deque<std::string> lines;
    bool ended = false;
};

ScriptFeed::ScriptFeed(const std::string& path, HWND window, UINT wake_message)
    : shared_(std::make_shared<Shared>()) {
    std::unique_ptr<std::istream> owned;
    if (path != "-") {
        owned = std::make_unique<std::ifstream>(path);
        if (!*owned) return;
    }
    opened_ = true;
    std::thread reader([shared = shared_, file = std::move(owned), window, wake_message] {
        std::string line;
        bool more = true;
        while (more) {
            more = file ? static_cast<bool>(std::getline(*file, line)) : ReadStandardInputLine(line);
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                if (more) {
                    shared->lines.push_back(line);
                } else {
                    shared->ended = true;
                }
            }
            PostMessageW(window, wake_message, 0, 0);
        }
    });
    reader.detach();
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
