// `quillfeed-emu tab`: the Today screen with the PocketBreeze tab host on it, which shows the plug-in in
// its tab with the control strip; scripts, screenshots and dumps as for `today`, plus the tab commands.
#pragma once

#include "tab_host.h"
#include "today_command.h"

namespace qf::emu {

struct TabOptions {
    TodayOptions shell;
    TabHostSettings settings;  // written before the tab is created
};

// Main thread, once per process. Exit codes as RunShell.
int RunTab(const TabOptions& options);

}  // namespace qf::emu
