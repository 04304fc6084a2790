#include "notification_bubbles.h"

#include <algorithm>

namespace qf::emu {
namespace {

constexpr COLORREF kBubbleBackground = RGB(255, 255, 225);

std::vector<device::NotificationInfo> ShownBubbles() {
    std::vector<device::NotificationInfo> shown = device::Notifications();
    std::erase_if(shown, [](const device::NotificationInfo& info) { return !info.bubble_shown; });
    return shown;
}

}  // namespace

NotificationBubbles::NotificationBubbles(HWND desktop, UINT wake, const device::Profile& profile, int top)
    : profile_(profile), top_(top) {
    device::SetNotificationHook([desktop, wake] { PostMessageW(desktop, wake, 0, 0); });
}

NotificationBubbles::~NotificationBubbles() { device::SetNotificationHook(nullptr); }

void NotificationBubbles::Sync() {
    std::vector<device::NotificationInfo> shown = ShownBubbles();
    std::erase_if(views_, [&](const View& view) {
        return std::none_of(shown.begin(), shown.end(), [&](const device::NotificationInfo& info) {
            return info.clsid == view.clsid && info.id == view.id;
        });
    });
    int margin = 4 * profile_.dpi / 96;
    int width = profile_.screen_width - 2 * margin;
    int top = top_;
    for (const View& view : views_) {
        RECT rect{};
        GetWindowRect(view.panel->window(), &rect);
        top = std::max<int>(top, rect.bottom);
    }
    for (const device::NotificationInfo& info : shown) {
        bool has_view = std::any_of(views_.begin(), views_.end(), [&](const View& view) {
            return view.clsid == info.clsid && view.id == info.id;
        });
        if (has_view) continue;
        PanelContent content{info.title, info.text, {}, kBubbleBackground};
        for (const device::NotificationButton& button : info.buttons) content.buttons.push_back(button.text);
        std::vector<device::NotificationButton> buttons = info.buttons;
        CLSID clsid = info.clsid;
        DWORD id = info.id;
        auto panel =
            std::make_unique<PanelWindow>(content, margin, top, width, profile_.dpi, [=, this](int index) {
                device::PressNotificationButton(clsid, id, buttons[index].command);
                Sync();
            });
        RECT rect{};
        GetWindowRect(panel->window(), &rect);
        top = rect.bottom;
        views_.push_back(View{clsid, id, std::move(panel)});
    }
}

bool NotificationBubbles::Press(const std::u16string& button, std::string* error) {
    std::vector<device::NotificationInfo> shown = ShownBubbles();
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        for (const device::NotificationButton& candidate : it->buttons) {
            if (candidate.text.size() == button.size() &&
                lstrcmpiW(candidate.text.c_str(), button.c_str()) == 0) {
                device::PressNotificationButton(it->clsid, it->id, candidate.command);
                Sync();
                return true;
            }
        }
    }
    *error = shown.empty() ? "no notification is shown"
                           : "no shown notification has a button '" + WideToUtf8(button) + "'";
    return false;
}

bool NotificationBubbles::Dismiss(std::string* error) {
    std::vector<device::NotificationInfo> shown = ShownBubbles();
    if (shown.empty()) {
        *error = "no notification is shown";
        return false;
    }
    device::DismissNotification(shown.back().clsid, shown.back().id);
    Sync();
    return true;
}

}  // namespace qf::emu
