// `quillfeed-emu today`: runs the Today screen with the device's Today items until its script ends or it
// is told to stop. `quillfeed-emu tab` runs the same screen with the tab host on it instead (tab_host.h).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "script_runner.h"
#include "today_shell.h"

namespace qf::emu {

struct TodayOptions {
    std::string device;       // device root; empty: $QUILLFEED_DEVICE, then the default
    std::string plugin;       // host path of an item library to load instead of the registered ones
    std::string script;       // script file, "-" for standard input; empty: run until SIGINT or SIGTERM
    std::string screenshot;   // PNG written at exit
    std::string dump;         // JSON state dump written at exit
    bool open_links = false;  // hand the links the device's browser is asked to show with xdg-open
    bool window = false;      // show the screen in a window on the desktop and take the pen and keys there
    int zoom = 1;             // host pixels per device pixel in the window
};

// What a host puts on the Today screen; it is destroyed after the outputs are written, before the
// screen's windows go.
class ScreenContent {
  public:
    virtual ~ScreenContent() = default;
};

// Main thread. Puts a host's content on `shell`, with the script's runner (null without a script) for
// commands of its own, and stores in `content` what needs tearing down (if anything). Answers false with
// `error` set when it cannot; RunShell prints the error and answers 1.
using ContentSetup = std::function<bool(TodayShell& shell, ScriptRunner* runner,
                                        std::unique_ptr<ScreenContent>& content, std::string* error)>;

// Main thread, once per process. Runs the Today screen of the device in `options` with what `setup`
// puts on it, the script, the window, the screenshot and the dump. Answers the exit code: 0; 1 when the
// device, the shell, the window or an item cannot be set up or an output cannot be written (with a one-line
// message on stderr); 2 for a script line that cannot be run.
int RunShell(const TodayOptions& options, const ContentSetup& setup);

// Main thread. The library a host loads: --plugin, else the first registered Today item's; nullopt with
// `error` set when there is none.
std::optional<std::filesystem::path> PluginLibraryOf(const TodayOptions& options, std::string* error);

// Main thread, once per process. RunShell with the device's Today items.
int RunToday(const TodayOptions& options);

}  // namespace qf::emu
