// Runs script commands against the Today screen as their lines arrive.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "script.h"
#include "script_feed.h"
#include "shell_services.h"
#include "today_shell.h"

namespace qf::emu {

// Any thread. Writes the state dump as indented JSON; false on an I/O error.
bool WriteDump(const ShellServices& services, const std::string& path);
// Any thread. Writes the composed screen as PNG; false on an I/O error.
bool WriteScreenshot(const TodayShell& shell, const std::string& path);

// Whether each line that has run is acknowledged on standard output ("ok N", N the line number), so that
// a program feeding the script line by line knows when to look.
enum class Acknowledge { kNo = 0, kOnStdout = 1 };

class ScriptRunner {
  public:
    ScriptRunner(TodayShell& shell, ShellServices& services, ScriptFeed& feed, Acknowledge acknowledge)
        : shell_(shell), services_(services), feed_(feed), acknowledge_(acknowledge) {}

    // Main thread, whenever lines may be waiting. Runs them in order; at "quit", at the end of the
    // script or at a line it cannot run, asks the message loop to end.
    //
    // A command may leave the main thread waiting in a modal loop (a popup menu, a message box) that only
    // a later line can end. Such a loop dispatches the wake-up posted when it opened, and the call made
    // then runs the next lines itself, returning once the loop it serves has its answer; the outer call
    // then carries on. Calls made while no new modal loop waits return at once.
    void RunWaiting();
    // Runs the tab host's own commands (false with a reason when one cannot run); without it they are
    // refused.
    void SetTabCommands(std::function<bool(const TabCommand&, std::string* error)> handler) {
        tab_commands_ = std::move(handler);
    }
    // 0, or 2 after a line that was refused or could not be run, 1 after a file that could not be written
    // or a settle that timed out.
    int exit_code() const { return exit_code_; }

  private:
    // Answers false when the script must end.
    bool Run(const ScriptCommand& command);
    bool Answer(const ScriptCommand& command);
    bool Refuse(const std::string& reason);
    void Acknowledge(int line);
    void Finish();

    TodayShell& shell_;
    ShellServices& services_;
    ScriptFeed& feed_;
    enum Acknowledge acknowledge_;
    std::function<bool(const TabCommand&, std::string*)> tab_commands_;
    std::vector<int> frames_;  // the modal depth each running call serves, outermost first
    bool finished_ = false;
    int line_number_ = 0;
    int acknowledged_ = 0;  // the last line acknowledged
    int exit_code_ = 0;
};

}  // namespace qf::emu
