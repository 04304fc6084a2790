// `quillfeed-emu today`: runs the Today screen with the device's Today items until its script ends or it
// is told to stop.
#pragma once

#include <string>

namespace qf::emu {

struct TodayOptions {
    std::string device;       // device root; empty: $QUILLFEED_DEVICE, then the default
    std::string plugin;       // host path of an item library to load instead of the registered ones
    std::string script;       // script file, "-" for standard input; empty: run until SIGINT or SIGTERM
    std::string screenshot;   // PNG written at exit
    std::string dump;         // JSON state dump written at exit
    bool open_links = false;  // hand the links the device's browser is asked to show to xdg-open
    bool window = false;      // show the screen in a window on the desktop and take the pen and keys there
    int zoom = 1;             // host pixels per device pixel in the window
};

// Main thread, once per process. Answers the exit code: 0; 1 when the device, the shell, the window or
// an item cannot be set up or an output cannot be written (with a one-line message on stderr); 2 for a script
// line that cannot be run.
int RunToday(const TodayOptions& options);

}  // namespace qf::emu
