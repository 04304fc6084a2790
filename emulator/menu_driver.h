// Answering the device's popup menus as a user with a pen would: the script's `menu TEXT` taps its way
// to the entry, and taps and keys go to an open menu first.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "script.h"

namespace qf::emu {

// Any thread. The virtual-key code of a D-pad key.
UINT VirtualKeyOf(NavigationKey key);

// Any thread. A popup menu is on the screen, waiting for an answer.
bool MenuWaiting();

// Main thread (the menu's). Taps the entry with the text `text` in the open menu or in one of its
// submenus, tapping the submenus' entries on the way to open them. `tap` delivers a tap at a screen
// point and pumps messages. False with a reason when no menu is open, no entry has that text, or the
// entry is gray.
bool ChooseMenuEntry(const std::u16string& text, const std::function<void(POINT)>& tap, std::string* error);

// Main thread. Closes the open menu without a choice; false with a reason when none is open.
bool CancelMenu(std::string* error);

// Main thread. A tap while a menu is open: outside its popups it closes the menu, as on the device, and
// answers true (the tap goes nowhere else); on a popup, or without a menu, answers false.
bool TapClosesMenu(POINT screen);

// Main thread. A key while a menu is open goes to the innermost popup; answers whether it did.
bool KeyToMenu(NavigationKey key);

}  // namespace qf::emu
