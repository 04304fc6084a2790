// Fails a test that deadlocks instead of letting it hang: if the watchdog is still alive after its
// limit, it prints what it guarded and aborts the process.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace qf::test {

class Watchdog {
  public:
    // Starts watching; `what` names the guarded step in the abort message. Any thread.
    Watchdog(std::chrono::milliseconds limit, std::string what);
    // Stops watching (joins the watcher thread).
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable done_cv_;
    bool done_ = false;
    std::thread watcher_;
};

}  // namespace qf::test
