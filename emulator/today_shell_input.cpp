// The Today screen's input: taps go to the window under the pen; the D-pad moves the selection from item
// to item, and an item that holds the selection gets the keys first.
#include "menu_driver.h"
#include "today_shell.h"

namespace qf::emu {

void TodayShell::PenDown(POINT at) {
    if (pen_.Down(at) == desktop_) Deselect();
}

void TodayShell::Tap(POINT at) {
    PenDown(at);
    PenUp(at);
}

void TodayShell::Key(NavigationKey key) {
    if (KeyToMenu(key)) return;
    if (key == NavigationKey::kEnter) {
        if (selected_ >= 0) SendMessageW(items_[selected_]->window, WM_TODAYCUSTOM_ACTION, 0, 0);
        return;
    }
    UINT vk = VirtualKeyOf(key);
    int direction = key == NavigationKey::kUp ? -1 : 1;
    int start = direction > 0 ? 0 : static_cast<int>(items_.size()) - 1;
    if (selected_ >= 0) {
        // The item uses the key itself, or answers 0 to hand the selection on.
        if (SendMessageW(items_[selected_]->window, WM_TODAYCUSTOM_USERNAVIGATION, vk, 0) != 0) return;
        start = selected_ + direction;
        Deselect();
        if (key == NavigationKey::kLeft || key == NavigationKey::kRight) return;
    } else if (key == NavigationKey::kLeft || key == NavigationKey::kRight) {
        return;
    }
    OfferSelection(start, direction, vk);
}

// Offers the selection to the items from `start` on in `direction` until one takes it.
bool TodayShell::OfferSelection(int start, int direction, UINT key) {
    for (int index = start; index >= 0 && index < static_cast<int>(items_.size()); index += direction) {
        const Item& item = *items_[index];
        if (item.window == nullptr) continue;
        if (SendMessageW(item.window, WM_TODAYCUSTOM_RECEIVEDSELECTION, key, 0) != 0) {
            selected_ = index;
            RepaintItem(item);
            return true;
        }
    }
    return false;
}

void TodayShell::Deselect() {
    if (selected_ < 0) return;
    const Item& item = *items_[selected_];
    selected_ = -1;
    SendMessageW(item.window, WM_TODAYCUSTOM_LOSTSELECTION, 0, 0);
    RepaintItem(item);
}

void TodayShell::RepaintItem(const Item& item) const {
    InvalidateRect(item.window, nullptr, TRUE);
    UpdateWindow(item.window);
}

}  // namespace qf::emu
