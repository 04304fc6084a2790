// Host-side view of the programs the device was asked to start (ShellExecuteExW). The plug-in does not
// use this.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "win/types.h"

namespace qf::device {

struct Launch {
    std::u16string verb;  // as given; empty for none
    std::u16string file;  // as given
    std::u16string parameters;
    std::u16string directory;
    int show = 0;  // nShow
};

// Any thread. Every successful launch of this process, oldest first.
std::vector<Launch> Launches();

// Called on the launching thread after each successful launch, outside the shell's locks.
using LaunchHook = std::function<void(const Launch& launch)>;
// Any thread. Installs the hook (an empty function removes it).
void SetLaunchHook(LaunchHook hook);

}  // namespace qf::device
