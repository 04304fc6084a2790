// The emulator's message boxes: MessageBoxW of the device lands here. A box is shown on the screen and
// waits until a script answers it (`msgbox TEXT`) or a tap hits one of its buttons; without a script it
// answers at once as nobody is there to ask. Every box is kept for the state dump.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "panel_window.h"
#include "state_dump.h"

namespace qf::emu {

enum class Answering { kByScript = 0, kAtOnce = 1 };

class MessageBoxes {
  public:
    // Main thread. Installs the device's message box hook; `wake` is posted to `desktop` whenever a box
    // opens, so that the script and the screen can attend to it.
    MessageBoxes(HWND desktop, UINT wake, const device::Profile& profile, Answering answering);
    // Main thread. Removes the hook and answers the open boxes as if cancelled.
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    // Any thread. Every box shown so far, oldest first.
    std::vector<DumpedMessageBox> Records() const;
    // Main thread. Presses the button `button` (any letter case) of the newest open box; false with a
    // reason when there is no open box or no such button.
    bool Answer(const std::u16string& button, std::string* error);
    // Main thread. Open boxes whose wait runs on the main thread.
    int WaitingOnMainThread() const;
    // Main thread. Shows the open boxes and takes down the answered ones.
    void SyncViews();

  private:
    int Show(const std::u16string& text, const std::u16string& caption, UINT type);
    void Close(size_t index, int answer);

    HWND desktop_;
    UINT wake_;
    device::Profile profile_;
    Answering answering_;
    std::thread::id main_thread_;
    mutable std::mutex mutex_;
    std::condition_variable answered_;
    std::vector<DumpedMessageBox> boxes_;                   // guarded by mutex_
    std::vector<bool> on_main_thread_;                      // guarded by mutex_
    std::map<size_t, std::unique_ptr<PanelWindow>> views_;  // main thread
};

// Any thread. The buttons of a MB_* type, left to right, with their answers (IDOK, IDYES, ...).
std::vector<std::pair<std::u16string, int>> MessageBoxButtons(UINT type);

}  // namespace qf::emu
