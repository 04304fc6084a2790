// Host-side view of the shell notifications (SHNotificationAdd): what a host shows as bubbles, and the
// user's answers to them. The plug-in does not use this.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "win/guid.h"
#include "win/types.h"

namespace qf::device {

struct NotificationButton {
    std::u16string text;  // the button's value
    UINT command = 0;     // N of name='cmd:N'
};

struct NotificationInfo {
    CLSID clsid{};
    DWORD id = 0;
    HWND sink = nullptr;
    std::u16string title;
    std::u16string html;
    std::u16string text;  // the HTML's visible text: tags dropped, paragraphs on lines of their own
    std::vector<NotificationButton> buttons;
    DWORD priority = 0;
    DWORD duration_s = 0;
    DWORD flags = 0;
    bool bubble_shown = false;  // the bubble is up: not answered, dismissed or timed out
};

// Any thread. The notifications, oldest first, with their bubbles' state at the device clock's now.
std::vector<NotificationInfo> Notifications();
// Any thread. The user pressed the button `command` of the notification's bubble: the bubble goes and
// WM_COMMAND `command` is posted to the sink. False when there is no such notification or button.
bool PressNotificationButton(const CLSID& clsid, DWORD id, UINT command);
// Any thread. The user closed the bubble without answering; the notification stays until it is removed.
bool DismissNotification(const CLSID& clsid, DWORD id);

// Called after every change to the notifications (added, removed, answered), on the changing thread,
// outside the shell's locks.
using NotificationHook = std::function<void()>;
void SetNotificationHook(NotificationHook hook);

}  // namespace qf::device
