// CancelWatch: while a download run lasts, watches AutoReload/BackgroundStatus for a cancel requested
// by another process (or the command line) and sets the fetch cancel flag at once, so that a slow
// transfer stops after its current read instead of running to its end.
#pragma once

#include <windows.h>

namespace qf {

class CancelWatch {
  public:
    // Starts watching on a thread of its own.
    CancelWatch();
    // Stops watching and waits for the thread.
    ~CancelWatch();
    CancelWatch(const CancelWatch&) = delete;
    CancelWatch& operator=(const CancelWatch&) = delete;

  private:
    static DWORD WINAPI Watch(LPVOID parameter);

    HANDLE stop_event_;
    HANDLE thread_;
};

}  // namespace qf
