// Pen input on the item window: a tap (pen down, or a pen moved along the scroll track) becomes a menu,
// a step of the selection, a link opened in the browser, or a list row activated.
#pragma once

#include "host/item_window.h"

namespace qf::host {

// User-interface thread. WM_LBUTTONDOWN: the pen went down at (x, y), client coordinates.
void OnPenDown(ItemWindow& item, int x, int y);
// User-interface thread. WM_MOUSEMOVE: while the pen drags on the scroll track, every 3 pixels of
// vertical movement count as another tap.
void OnPenMove(ItemWindow& item, int x, int y);
// User-interface thread. WM_LBUTTONUP.
void OnPenUp(ItemWindow& item);

}  // namespace qf::host
