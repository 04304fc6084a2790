// The menu fonts on a real GDI, for a VGA device at 192 dpi.
#include "display/menu_fonts.h"

#include <gtest/gtest.h>

#include "qfdevice/device.h"
#include "support/temp_device.h"

namespace qf::display {
namespace {

class VgaDevice : public ::testing::Test {
  protected:
    void SetUp() override { qf::device::OverrideProfile(qf::device::NamedProfile("vga")); }
    void TearDown() override { qf::device::OverrideProfile(std::nullopt); }
    qf::test::TempDevice device_;
};

// Sized for the 192 dpi of the DC: Tahoma 8 pt (7 pt for the small pair), the double font twice as high,
// checked entries in bold. Built twice (the old set is deleted first: ASan would see a leak), then freed.
TEST_F(VgaDevice, MenuFontsFollowTheDpiOfTheDcAndGoWhenFreed) {
    MenuFonts fonts;
    fonts.Build(nullptr);
    fonts.Build(nullptr);
    auto log_font = [&](MenuFontPair pair, MenuFontSize size) {
        LOGFONTW font{};
        EXPECT_NE(GetObjectW(fonts.Get(pair, size), sizeof(font), &font), 0);
        return font;
    };
    LOGFONTW normal = log_font(MenuFontPair::kNormal, MenuFontSize::kSingle);
    EXPECT_EQ(normal.lfHeight, -21);
    EXPECT_EQ(normal.lfWeight, FW_NORMAL);
    EXPECT_EQ(std::u16string(normal.lfFaceName), u"Tahoma");
    EXPECT_EQ(log_font(MenuFontPair::kNormal, MenuFontSize::kDouble).lfHeight, -42);
    EXPECT_EQ(log_font(MenuFontPair::kBold, MenuFontSize::kSingle).lfWeight, FW_BOLD);
    EXPECT_EQ(log_font(MenuFontPair::kSmall, MenuFontSize::kDouble).lfHeight, -38);
    fonts.Free();
    EXPECT_EQ(fonts.Get(MenuFontPair::kNormal, MenuFontSize::kSingle), nullptr);
}

}  // namespace
}  // namespace qf::display
