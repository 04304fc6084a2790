// The menu fonts on a real GDI, for a VGA device at 192 dpi.
#include "display/menu_fonts.h"

#include <gtest/gtest.h>

#include "display/screen_metrics.h"
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

// The eight menu fonts for the 192 dpi of the window's DC: Tahoma 8 pt single and doubled for the plain,
// normal and bold pairs (bold at weight 700), 7 pt for the small pair.
TEST_F(VgaDevice, MenuFontsFollowTheDpiOfTheWindowsDc) {
    BuildMenuFonts(nullptr);
    BuildMenuFonts(nullptr);  // again: the old set is deleted first (ASan would see a leak)
    struct Expected {
        MenuFontPair pair;
        LONG height;
        LONG weight;
    };
    for (const Expected& e :
         {Expected{MenuFontPair::kPlain, -21, 400}, Expected{MenuFontPair::kNormal, -21, 400},
          Expected{MenuFontPair::kBold, -21, 700}, Expected{MenuFontPair::kSmall, -19, 400}}) {
        for (MenuFontSize size : {MenuFontSize::kSingle, MenuFontSize::kDouble}) {
            LOGFONTW font = LogFontOf(e.pair, size);
            EXPECT_EQ(font.lfHeight, size == MenuFontSize::kSingle ? e.height : 2 * e.height);
            EXPECT_EQ(font.lfWeight, e.weight);
            EXPECT_EQ(std::u16string(font.lfFaceName), u"Tahoma");
        }
    }
    FreeMenuFonts();
    EXPECT_EQ(MenuFont(MenuFontPair::kNormal, MenuFontSize::kSingle), nullptr);
}

}  // namespace
}  // namespace qf::display
