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

TEST_F(VgaDevice, MenuFontsFollowTheDpiOfTheWindowsDc) {
    BuildMenuFonts(nullptr);
    LOGFONTW plain = LogFontOf(MenuFontPair::kPlain, MenuFontSize::kSingle);
    EXPECT_EQ(plain.lfHeight, -21);
    EXPECT_EQ(plain.lfWeight, FW_NORMAL);
    EXPECT_EQ(std::u16string(plain.lfFaceName), u"Tahoma");
    EXPECT_EQ(LogFontOf(MenuFontPair::kPlain, MenuFontSize::kDouble).lfHeight, -42);
    EXPECT_EQ(LogFontOf(MenuFontPair::kBold, MenuFontSize::kSingle).lfWeight, FW_BOLD);
    EXPECT_EQ(LogFontOf(MenuFontPair::kSmall, MenuFontSize::kDouble).lfHeight, -38);

    BuildMenuFonts(nullptr);  // again: the old set is deleted first (ASan would see a leak)
    EXPECT_EQ(LogFontOf(MenuFontPair::kNormal, MenuFontSize::kSingle).lfHeight, -21);
    FreeMenuFonts();
    EXPECT_EQ(MenuFont(MenuFontPair::kNormal, MenuFontSize::kSingle), nullptr);
}

}  // namespace
}  // namespace qf::display
