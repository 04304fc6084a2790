// Runs script commands against the Today screen as their lines arrive.
#pragma once

#include <string>

#include "script.h"
#include "script_feed.h"
#include "today_shell.h"

namespace qf::emu {

// Any thread. Writes the shell's state dump as indented JSON; false on an I/O error.
bool WriteDump(const TodayShell& shell, const std::string& path);
// Any thread. Writes the composed screen as PNG; false on an I/O error.
bool WriteScreenshot(const TodayShell& shell, const std::string& path);

class ScriptRunner {
  public:
    ScriptRunner(TodayShell& shell, ScriptFeed& feed) : shell_(shell), feed_(feed) {}

    // Main thread, whenever lines may be waiting. Runs them in order; at "quit", at the end of the
    // script or at a line it cannot run, asks the message loop to end. Commands that pump messages may
    // call back in here; those calls return at once and the outer call picks their lines up.
    void RunWaiting();
    // 0, or 2 after a line that was refused, 1 after a file that could not be written.
    int exit_code() const { return exit_code_; }

  private:
    bool Run(const ScriptCommand& command);
    void Finish();

    TodayShell& shell_;
    ScriptFeed& feed_;
    bool running_ = false;
    bool finished_ = false;
    int line_number_ = 0;
    int exit_code_ = 0;
};

}  // namespace qf::emu
