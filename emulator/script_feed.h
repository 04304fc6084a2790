// Script lines for the emulator, read on a thread of their own so that the main thread keeps handling
// messages (timers, paints, messages from other processes) while it waits for the next line.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace qf::emu {

class ScriptFeed {
  public:
    // Starts reading `path` ("-": standard input). After every line, and at the end of the script,
    // posts `wake_message` to `window`. Check opened() before use.
    ScriptFeed(const std::string& path, HWND window, UINT wake_message);
    // Does not wait for the reader, which may be blocked on standard input and ends with the process;
    // once this returns the reader posts nothing more, as the window may be gone.
    ~ScriptFeed();
    ScriptFeed(const ScriptFeed&) = delete;
    ScriptFeed& operator=(const ScriptFeed&) = delete;

    bool opened() const { return opened_; }

    // Any thread. The next line that was read, if one is waiting.
    std::optional<std::string> NextLine();
    // Any thread. True once the script has ended and every line was taken.
    bool AtEnd();

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    bool opened_ = false;
};

}  // namespace qf::emu
