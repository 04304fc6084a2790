#include "host/navigation.h"

#include "host/repaint.h"

namespace qf::host {

void MoveSelectionDown(ItemWindow& item) { Repaint(item); }

void MoveSelectionUp(ItemWindow& item) { Repaint(item); }

void ActivateSelection(ItemWindow& item) { Repaint(item); }

}  // namespace qf::host
