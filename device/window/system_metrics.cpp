// GetSystemMetrics: the screen from the device profile, the rest as a Pocket PC measures them at 96 dpi,
// scaled to the profile's dpi.
#include <array>

#include "qfdevice/device.h"
#include "win/window.h"

namespace {

struct Metric {
    int index;
    int value_at_96_dpi;
    bool scales;  // hairlines stay one pixel at every dpi
};

constexpr std::array<Metric, 12> kMetrics{{
    {SM_CXVSCROLL, 13, true},
    {SM_CYHSCROLL, 13, true},
    {SM_CYCAPTION, 26, true},
    {SM_CXBORDER, 1, false},
    {SM_CYBORDER, 1, false},
    {SM_CXDLGFRAME, 1, false},
    {SM_CYDLGFRAME, 1, false},
    {SM_CXICON, 32, true},
    {SM_CYICON, 32, true},
    {SM_CYMENU, 26, true},
    {SM_CXSMICON, 16, true},
    {SM_CYSMICON, 16, true},
}};

}  // namespace

int WINAPI GetSystemMetrics(int index) {
    qf::device::Profile profile = qf::device::CurrentProfile();
    if (index == SM_CXSCREEN) return profile.screen_width;
    if (index == SM_CYSCREEN) return profile.screen_height;
    for (const Metric& metric : kMetrics) {
        if (metric.index == index) {
            return metric.scales ? metric.value_at_96_dpi * profile.dpi / 96 : metric.value_at_96_dpi;
        }
    }
    return 0;
}
