// What the item tells its host about its state (view, mode, selection, status text), so that the host's
// dump and scripts see it without reading pixels.
#pragma once

#include "host/item_window.h"

namespace qf::host {

// User-interface thread. Reports the item window's current state; nothing before the window exists.
void ReportState(const ItemWindow& item);

}  // namespace qf::host
