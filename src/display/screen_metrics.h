// The screen's logical pixels per inch, measured once per library load; the skin loader derives the
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

// The screen's logical pixels as first measured. User-interface thread.
class ScreenMetrics {
  public:
    // Reads LOGPIXELSX/LOGPIXELSY of the screen DC on the first call only; later calls keep the values.
    void Cache();
    // The cached values (96 x 96 before the first Cache).
    LogicalPixels logical_pixels() const { return pixels_; }

  private:
    bool cached_ = false;
    LogicalPixels pixels_;
};

}  // namespace qf::display
