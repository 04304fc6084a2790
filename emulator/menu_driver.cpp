#include "menu_driver.h"

#include <optional>
#include <vector>

#include "qfdevice/menu_host.h"

namespace qf::emu {
namespace {

using device::MenuEntryInfo;

bool Open(const std::optional<device::TrackedMenuInfo>& menu) {
    return menu && menu->state == device::MenuTrackState::kOpen;
}

// The positions leading to the first entry named `text`: the menu's own entries first, then each
// submenu's in order.
bool PathTo(const std::vector<MenuEntryInfo>& entries, const std::u16string& text,
            std::vector<size_t>& path) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].separator && entries[i].text == text) {
            path.push_back(i);
            return true;
        }
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        path.push_back(i);
        if (PathTo(entries[i].submenu, text, path)) return true;
        path.pop_back();
    }
    return false;
}

POINT CentreOf(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

}  // namespace

UINT VirtualKeyOf(NavigationKey key) {
    switch (key) {
        case NavigationKey::kUp:
            return VK_UP;
        case NavigationKey::kDown:
            return VK_DOWN;
        case NavigationKey::kLeft:
            return VK_LEFT;
        case NavigationKey::kRight:
            return VK_RIGHT;
        case NavigationKey::kEnter:
            break;
    }
    return VK_RETURN;
}

bool MenuWaiting() { return Open(device::TrackedMenu()); }

bool ChooseMenuEntry(const std::u16string& text, const std::function<void(POINT)>& tap, std::string* error) {
    std::optional<device::TrackedMenuInfo> menu = device::TrackedMenu();
    if (!Open(menu)) {
        *error = "no menu is open";
        return false;
    }
    std::vector<size_t> path;
    if (!PathTo(menu->entries, text, path)) {
        *error = "the open menu has no entry '" + WideToUtf8(text) + "'";
        return false;
    }
    // Each step reads the menu again: the tap before it opened the popup that holds the next entry.
    for (size_t depth = 0; depth < path.size(); ++depth) {
        menu = device::TrackedMenu();
        if (!Open(menu)) break;
        const std::vector<MenuEntryInfo>* level = &menu->entries;
        for (size_t step = 0; step < depth; ++step) level = &(*level)[path[step]].submenu;
        const MenuEntryInfo& entry = (*level)[path[depth]];
        if (entry.grayed) {
            *error = "the menu entry '" + WideToUtf8(entry.text) + "' is gray";
            return false;
        }
        if (IsRectEmpty(&entry.screen_rect)) {
            *error = "the menu entry '" + WideToUtf8(entry.text) + "' is not on the screen";
            return false;
        }
        tap(CentreOf(entry.screen_rect));
    }
    return true;
}

bool CancelMenu(std::string* error) {
    if (!MenuWaiting() || !EndMenu()) {
        *error = "no menu is open";
        return false;
    }
    return true;
}

bool TapClosesMenu(POINT screen) {
    std::optional<device::TrackedMenuInfo> menu = device::TrackedMenu();
    if (!Open(menu)) return false;
    HWND target = WindowFromPoint(screen);
    for (HWND popup : menu->popups) {
        if (popup == target) return false;
    }
    EndMenu();
    return true;
}

bool KeyToMenu(NavigationKey key) {
    std::optional<device::TrackedMenuInfo> menu = device::TrackedMenu();
    if (!Open(menu) || menu->popups.empty()) return false;
    PostMessageW(menu->popups.back(), WM_KEYDOWN, VirtualKeyOf(key), 0);
    return true;
}

}  // namespace qf::emu
