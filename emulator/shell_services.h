// What the emulated shell offers besides the Today screen itself: message boxes, notification bubbles,
// the record of launches (handed to the desktop's browser with --open-links), and the host side of
// popup menus. Main thread only, one per process.
#pragma once

#include <memory>

#include "message_boxes.h"
#include "notification_bubbles.h"
#include "today_shell.h"

namespace qf::emu {

enum class LinkHandling { kRecordOnly = 0, kOpenOnDesktop = 1 };

class ShellServices {
  public:
    // Installs the device hooks; each posts kScriptWakeMessage to the shell's desktop when the host must
    // attend to something.
    ShellServices(TodayShell& shell, const device::Profile& profile, Answering answering, LinkHandling links);
    // Removes the hooks.
    ~ShellServices();
    ShellServices(const ShellServices&) = delete;
    ShellServices& operator=(const ShellServices&) = delete;

    // Brings the bubbles and message boxes on the screen up to date with the device.
    void Sync();
    // Modal waits on the main thread that only the script can end: an open popup menu, open message
    // boxes.
    int ModalDepth() const;
    // The shell's dump with the launches, menu, notifications and message boxes.
    StateDump Dump() const;

    MessageBoxes& message_boxes() { return message_boxes_; }
    NotificationBubbles& bubbles() { return bubbles_; }

  private:
    TodayShell& shell_;
    MessageBoxes message_boxes_;
    NotificationBubbles bubbles_;
};

}  // namespace qf::emu
