#include "display/screen_metrics.h"

#include <windows.h>

#include "display/gdi_handles.h"

namespace qf::display {
namespace {

constexpr int kMinimumUsableDpi = 48;

}  // namespace

LogicalPixels SaneLogicalPixels(int reported_x, int reported_y) {
    if (reported_x < kMinimumUsableDpi || reported_y < kMinimumUsableDpi) return LogicalPixels{};
    return LogicalPixels{reported_x, reported_y};
}

void ScreenMetrics::Cache() {
    if (cached_) return;
    ScreenDc screen;
    if (!screen) return;
    pixels_ =
        SaneLogicalPixels(GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY));
    cached_ = true;
}

}  // namespace qf::display
