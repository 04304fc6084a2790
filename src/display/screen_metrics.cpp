#include "display/screen_metrics.h"

#include <windows.h>

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
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return;
    g_pixels = SaneLogicalPixels(GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    g_cached = true;
}

LogicalPixels ScreenLogicalPixels() { return g_pixels; }

void ResetScreenMetrics() {
    g_cached = false;
    g_pixels = LogicalPixels{};
}

}  // namespace qf::display
