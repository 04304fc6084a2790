// Starting programs on the device: the main application, its help page and the browser.
#pragma once

#include <string>

namespace qf::host {

// Any thread. ShellExecuteEx with the verb "open", `file` and `parameters` (none when empty), shown
// normally. False when the shell could not start it.
bool OpenWithShell(const std::u16string& file, const std::u16string& parameters);

// User-interface thread. The main application (install folder + "\Quillfeed.exe") with `parameters`.
void LaunchMainApplication(const std::u16string& parameters);
// User-interface thread. Asks the main application for its settings screen: General/StartMode = 1, then
// the application with "-t".
void LaunchSettings();

}  // namespace qf::host
