#include "support/watchdog.h"

#include <cstdio>
#include <cstdlib>

namespace qf::test {

Watchdog::Watchdog(std::chrono::milliseconds limit, std::string what)
    : watcher_([this, limit, what = std::move(what)] {
          std::unique_lock lock(mutex_);
          if (!done_cv_.wait_for(lock, limit, [this] { return done_; })) {
              std::fprintf(stderr, "watchdog: '%s' did not finish within %lld ms\n", what.c_str(),
                           static_cast<long long>(limit.count()));
              std::abort();
          }
      }) {}

Watchdog::~Watchdog() {
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    done_cv_.notify_all();
    watcher_.join();
}

}  // namespace qf::test
