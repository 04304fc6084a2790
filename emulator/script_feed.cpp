#include "script_feed.h"

#include <deque>
#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>

namespace qf::emu {

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
        std::istream& in = file ? *file : std::cin;
        std::string line;
        bool more = true;
        while (more) {
            more = static_cast<bool>(std::getline(in, line));
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
