// The screen's logical pixels per inch, cached once per library load; the skin loader derives the
// scale factor from them.
#pragma once

namespace qf::display {

struct LogicalPixels {
    int x = 96;
    int y = 96;
};

// Any thread. What a display driver reports, made usable: a value below 48 on either axis (drivers that
// report 0) gives 96 for both.
LogicalPixels SaneLogicalPixels(int reported_x, int reported_y);

// User-interface thread. Reads LOGPIXELSX/LOGPIXELSY of the screen DC on the first call only; later
// calls keep the cached values.
void CacheScreenMetrics();
// User-interface thread. The cached values (96 x 96 before the first CacheScreenMetrics).
LogicalPixels ScreenLogicalPixels();
// Tests and library unload: forgets the cache so that the next CacheScreenMetrics measures again.
void ResetScreenMetrics();

}  // namespace qf::display
