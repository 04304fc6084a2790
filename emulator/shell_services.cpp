#include "shell_services.h"

#include "link_opener.h"
#include "menu_driver.h"
#include "qfdevice/launches.h"
#include "qfdevice/menu_host.h"

namespace qf::emu {

ShellServices::ShellServices(TodayShell& shell, const device::Profile& profile, Answering answering,
                             LinkHandling links)
    : shell_(shell),
      message_boxes_(shell.desktop(), kScriptWakeMessage, profile, answering),
      bubbles_(shell.desktop(), kScriptWakeMessage, profile, TitleBarHeight(profile.dpi)) {
    HWND desktop = shell.desktop();
    device::SetMenuHook([desktop](HMENU) { PostMessageW(desktop, kScriptWakeMessage, 0, 0); });
    if (links == LinkHandling::kOpenOnDesktop) {
        device::SetLaunchHook([](const device::Launch& launch) {
            if (std::optional<std::string> target = DesktopTarget(launch)) OpenOnDesktop(*target);
        });
    }
}

ShellServices::~ShellServices() {
    device::SetMenuHook(nullptr);
    device::SetLaunchHook(nullptr);
}

void ShellServices::Sync() {
    bubbles_.Sync();
    message_boxes_.SyncViews();
}

int ShellServices::ModalDepth() const {
    return (MenuWaiting() ? 1 : 0) + message_boxes_.WaitingOnMainThread();
}

StateDump ShellServices::Dump() const {
    StateDump dump = shell_.Dump();
    dump.launches = device::Launches();
    dump.menu = device::TrackedMenu();
    dump.notifications = device::Notifications();
    dump.message_boxes = message_boxes_.Records();
    return dump;
}

}  // namespace qf::emu
