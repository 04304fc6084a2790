// The tab host's own scale by screen and its doubled-VGA mode, and where it puts the tab and the strip.
#include <gtest/gtest.h>

#include "tab_host.h"

namespace qf::emu {
namespace {

TEST(TabHostLayout, ScaleByScreenAndVgaMode) {
    struct Case {
        int width, height, dpi;
        DWORD vga_mode;
        int scale;
    };
    const Case cases[] = {
        {240, 320, 96, 0, 1},  {240, 320, 96, 1, 1},   // not a VGA screen: the mode does nothing
        {480, 640, 192, 0, 2}, {480, 640, 192, 1, 2},  // high resolution
        {480, 640, 96, 0, 1},  {480, 640, 96, 1, 2},   // VGA at 96 dpi: doubled only in the host's mode
        {640, 480, 96, 1, 2},
    };
    for (const Case& c : cases) {
        device::Profile profile;
        profile.screen_width = c.width;
        profile.screen_height = c.height;
        profile.dpi = c.dpi;
        EXPECT_EQ(TabHostScale(profile, c.vga_mode), c.scale) << c.width << "x" << c.height << " " << c.dpi;
    }
    // The tab fills the space between the tab row and the control area; the strip is centred in the latter.
    TabHostLayout doubled = LayOutTabHost(480, 588, 2);
    EXPECT_EQ(doubled.item.top, 40);
    EXPECT_EQ(doubled.item.bottom, 544);
    EXPECT_EQ(doubled.control_strip.top, 546);
    EXPECT_EQ(doubled.control_strip.bottom, 586);
    EXPECT_EQ(doubled.control_strip.right, 480);
}

}  // namespace
}  // namespace qf::emu
