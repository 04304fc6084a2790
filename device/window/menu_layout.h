// Where a popup menu and its entries go: pure geometry, shared by tracking and its tests.
#pragma once

#include <vector>

#include "win/geometry.h"

namespace qf::device::wm {

// The frame around the entries, in pixels at 96 dpi: a dark outer line and a light inner one.
inline constexpr int kMenuFrameAt96Dpi = 2;

struct PopupLayout {
    std::vector<RECT> entries;  // client coordinates, one per entry, all as wide as the widest
    SIZE size{};                // the popup window's size, frame included
};

// Stacks entries of the given sizes inside a frame `frame` pixels wide.
PopupLayout LayOutEntries(const std::vector<SIZE>& entry_sizes, int frame);

// The popup's screen rectangle for TrackPopupMenuEx at `at` with the TPM_* alignment `flags`: aligned as
// asked, flipped above the point when it would run off the bottom, then kept on the screen.
RECT PlaceMenu(POINT at, unsigned flags, SIZE size, SIZE screen);

// A submenu's screen rectangle: beside its parent popup (to the right, else to the left when only that
// fits), its first entry level with the entry that opened it, kept on the screen.
RECT PlaceSubmenu(const RECT& parent, int entry_top, SIZE size, SIZE screen, int frame);

}  // namespace qf::device::wm
