// CancelWatch: while a download run lasts, watches AutoReload/BackgroundStatus for a cancel requested
// by another process (or the command line): it sets the fetch cancel flag at once, so that a slow
// transfer stops after its current read instead of running to its end, and answers the run's check
// after each entry without a registry read of its own (those are slow on the device).
#pragma once

#include <windows.h>

#include <atomic>

namespace qf {

class CancelWatch {
  public:
    // Starts watching on a thread of its own.
    CancelWatch();
    // Stops watching and waits for the thread.
    ~CancelWatch();
    CancelWatch(const CancelWatch&) = delete;
    CancelWatch& operator=(const CancelWatch&) = delete;

    // Whether BackgroundStatus read 2 at the last look (at most 100 ms ago). Any thread.
    bool Requested() const { return requested_; }

  private:
    static DWORD WINAPI Watch(LPVOID parameter);

    std::atomic<bool> requested_{false};
    HANDLE stop_event_;
    HANDLE thread_;
};

}  // namespace qf
