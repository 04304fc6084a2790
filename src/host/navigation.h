// Moving the selection and activating it: shared by the D-pad (the Today screen's navigation messages)
// and the tab host's hot keys.
#pragma once

#include "host/item_window.h"

namespace qf::host {

// User-interface thread. The ticker and list movements work on the view listing, which the item does not
// load yet; with nothing to move each operation repaints.
void MoveSelectionDown(ItemWindow& item);
void MoveSelectionUp(ItemWindow& item);
void ActivateSelection(ItemWindow& item);

}  // namespace qf::host
