// Host-side view of popup menu tracking (TrackPopupMenuEx): what is on the screen, and a hook that tells
// the host when a popup opens so that it can answer. The plug-in does not use this.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win/menu.h"

namespace qf::device {

struct MenuEntryInfo {
    std::u16string text;  // the entry's string (owner-drawn entries too, when their owner gave one)
    UINT id = 0;          // the command id; 0 for separators and submenu entries
    bool checked = false;
    bool grayed = false;
    bool separator = false;
    bool owner_drawn = false;
    bool highlighted = false;
    bool has_submenu = false;
    std::vector<MenuEntryInfo> submenu;  // the submenu's entries
    RECT screen_rect{};                  // while its popup is open; empty otherwise
};

enum class MenuTrackState { kOpen = 0, kChosen = 1, kCancelled = 2 };

struct TrackedMenuInfo {
    HMENU menu = nullptr;
    HWND owner = nullptr;
    POINT position{};  // the screen point it was tracked at
    MenuTrackState state = MenuTrackState::kOpen;
    UINT chosen_id = 0;  // with kChosen
    std::vector<MenuEntryInfo> entries;
    std::vector<HWND> popups;  // open popup windows: the menu's, then each open submenu's
};

// Any thread. The menu being tracked, or else the last one tracked in this process with its entries as
// they were when it closed; nullopt before the first.
std::optional<TrackedMenuInfo> TrackedMenu();

// Called on the tracking thread, inside the menu's modal loop, after each popup of the menu (the menu
// itself, then each submenu as it opens) is on the screen. The host answers later from the messages
// that loop dispatches, or at once: by posting pen or key messages to the popup windows, or by EndMenu.
using MenuHook = std::function<void(HMENU popup)>;
// Any thread. Installs the hook (an empty function: menus close at once, cancelled).
void SetMenuHook(MenuHook hook);

}  // namespace qf::device
