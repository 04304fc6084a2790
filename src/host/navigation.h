// Moving the selection and activating it: shared by the D-pad (the Today screen's navigation messages),
// the tab host's hot keys and the scroll arrows.
#pragma once

#include "host/item_window.h"

namespace qf::host {

// User-interface thread. Each applies the move to the item (see selection_moves.h) and repaints.
void MoveSelectionDown(ItemWindow& item);
void MoveSelectionUp(ItemWindow& item);
void PageSelectionDown(ItemWindow& item);
void PageSelectionUp(ItemWindow& item);

// User-interface thread. Ticker: expand or collapse the item. List: an item row opens its details, a
// feed row expands (collapsing any other) or collapses; from the details back to the list. Repaints.
void ActivateSelection(ItemWindow& item);

}  // namespace qf::host
