// Stands in for GDI in this test program (the window surface seam, FillRect, CreateCompatibleDC and
// DeleteDC): records what the window manager asks of it, and hands out DCs that are only tokens.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "win/window.h"

namespace qf::test {

struct SurfaceRecord {
    std::map<HWND, std::pair<int, int>> sizes;  // live surfaces and their sizes
    std::vector<HWND> destroyed;
    std::map<HWND, int> frames;  // BeginWindowFrame calls
    int open_dcs = 0;            // surface and memory DCs not yet released
    std::vector<HBRUSH> fills;   // brushes FillRect was called with
};

// Any thread. A copy of what was recorded since the last ResetSurfaceRecord().
SurfaceRecord SurfaceRecordNow();
void ResetSurfaceRecord();

}  // namespace qf::test
