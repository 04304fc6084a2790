// Repainting the item: what commands, navigation and timers do after they change what is shown.
#pragma once

#include <windows.h>

#include "host/item_window.h"

namespace qf::host {

// User-interface thread. In tab mode invalidates and updates the control strip first; then invalidates
// (with erase) and updates the item window. Answers the item window's UpdateWindow result.
BOOL Repaint(const ItemWindow& item);

}  // namespace qf::host
