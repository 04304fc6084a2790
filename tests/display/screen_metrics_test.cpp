// The screen metrics cache and the menu fonts on a real GDI, for a VGA device at 192 dpi.
#include "display/screen_metrics.h"

#include <gtest/gtest.h>

#include "display/menu_fonts.h"
#include "qfdevice/device.h"
#include "support/temp_device.h"

namespace qf::display {
namespace {

class VgaDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        qf::device::OverrideProfile(qf::device::NamedProfile("vga"));
        ResetScreenMetrics();
    }
    void TearDown() override {
        FreeMenuFonts();
        ResetScreenMetrics();
        qf::device::OverrideProfile(std::nullopt);
    }

    static LOGFONTW LogFontOf(MenuFontPair pair, MenuFontSize size) {
        LOGFONTW font{};
        EXPECT_NE(GetObjectW(MenuFont(pair, size), sizeof(font), &font), 0);
        return font;
    }

    qf::test::TempDevice device_;
};

TEST_F(VgaDevice, ScreenMetricsAreMeasuredOnceOnly) {
    CacheScreenMetrics();
    EXPECT_EQ(ScreenLogicalPixels().x, 192);
    EXPECT_EQ(ScreenLogicalPixels().y, 192);
    qf::device::OverrideProfile(qf::device::NamedProfile("qvga"));
    CacheScreenMetrics();
    EXPECT_EQ(ScreenLogicalPixels().y, 192);
}

// The fonts built on the device are the recipes for its 192 dpi, which the decision-table test checks.
TEST_F(VgaDevice, MenuFontsFollowTheDpiOfTheWindowsDc) {
    BuildMenuFonts(nullptr);
    BuildMenuFonts(nullptr);  // again: the old set is deleted first (ASan would see a leak)
    for (const MenuFontRecipe& recipe : MenuFontRecipes(192)) {
        LOGFONTW font = LogFontOf(recipe.pair, recipe.size);
        EXPECT_EQ(font.lfHeight, recipe.height);
        EXPECT_EQ(font.lfWeight, recipe.weight);
        EXPECT_EQ(std::u16string(font.lfFaceName), recipe.face);
    }
    FreeMenuFonts();
    EXPECT_EQ(MenuFont(MenuFontPair::kNormal, MenuFontSize::kSingle), nullptr);
}

}  // namespace
}  // namespace qf::display
