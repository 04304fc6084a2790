#include "display/screen_metrics.h"

#include <windows.h>

#include "display/gdi_handles.h"

namespace qf::display {
namespace {

constexpr int kMinimumUsableDpi = 48;

bool g_cached = false;
LogicalPixels g_pixels;

}  // namespace

LogicalPixels SaneLogicalPixels(int reported_x, int reported_y) {
    if (reported_x < kMinimumUsableDpi || reported_y < kMinimumUsableDpi) return LogicalPixels{};
    return LogicalPixels{reported_x, reported_y};
}

void CacheScreenMetrics() {
    if (g_cached) return;
    ScreenDc screen;
    if (!screen) return;
    g_pixels =
        SaneLogicalPixels(GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY));
    g_cached = true;
}

LogicalPixels ScreenLogicalPixels() { return g_pixels; }

void ResetScreenMetrics() {
    g_cached = false;
    g_pixels = LogicalPixels{};
}

}  // namespace qf::display
