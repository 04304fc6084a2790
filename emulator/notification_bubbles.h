// The shell's notification bubbles on the emulated screen: one panel per bubble the device shows, under
// the title bar, newest at the bottom. A script presses a bubble's button (`notification TEXT`) or
// closes it (`notification dismiss`); a tap on a button does the same. Main thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "panel_window.h"
#include "qfdevice/device.h"
#include "qfdevice/notifications.h"

namespace qf::emu {

class NotificationBubbles {
  public:
    // Installs the device's notification hook, which posts `wake` to `desktop` after every change so
    // that the main thread can Sync(). Bubbles start `top` pixels below the top of the screen.
    NotificationBubbles(HWND desktop, UINT wake, const device::Profile& profile, int top);
    ~NotificationBubbles();
    NotificationBubbles(const NotificationBubbles&) = delete;
    NotificationBubbles& operator=(const NotificationBubbles&) = delete;

    // Shows a panel for every bubble up at the device clock's now and takes down the others.
    void Sync();
    // Presses the button with that text (any letter case) of the newest bubble that has one; false with
    // a reason when no bubble shows such a button.
    bool Press(const std::u16string& button, std::string* error);
    // Closes the newest bubble; false with a reason when none is up.
    bool Dismiss(std::string* error);

  private:
    struct View {
        CLSID clsid;
        DWORD id;
        std::unique_ptr<PanelWindow> panel;
    };

    device::Profile profile_;
    int top_;
    std::vector<View> views_;
};

}  // namespace qf::emu
