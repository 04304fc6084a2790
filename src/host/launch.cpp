#include "host/launch.h"

#include <windows.h>

#include "common/settings_store.h"
#include "host/library_state.h"

namespace qf::host {

bool OpenWithShell(const std::u16string& file, const std::u16string& parameters) {
    SHELLEXECUTEINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = u"open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteEx(&info) != FALSE;
}

void LaunchMainApplication(const std::u16string& parameters) {
    OpenWithShell(Library().install_folder + u"\\Quillfeed.exe", parameters);
}

void LaunchSettings() {
    AppSettings().Write(setting::kStartMode, 1);
    LaunchMainApplication(u"-t");
}

}  // namespace qf::host
