// What the emulated shell reads from a notification's HTML: its visible text and its command buttons.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "qfdevice/notifications.h"

namespace qf::device {

struct NotificationContent {
    std::u16string text;  // tags dropped, entities decoded, blanks collapsed; one line per paragraph
    std::vector<NotificationButton> buttons;  // <input> elements named "cmd:N", in document order
};

// Any thread. Never fails: whatever cannot be read is left out.
NotificationContent ReadNotificationHtml(std::u16string_view html);

}  // namespace qf::device
