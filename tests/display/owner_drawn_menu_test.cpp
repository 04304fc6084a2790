// The item's owner-drawn popup menus: which records a menu claims, how an entry looks in each state, and
// the menu fonts on a real GDI for a VGA device at 192 dpi.
#include "display/owner_drawn_menu.h"

#include <gtest/gtest.h>

#include <memory>

#include "display/gdi_handles.h"
#include "display/menu_entry_painter.h"
#include "qfdevice/device.h"
#include "support/temp_device.h"

namespace qf::display {
namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kHighlight = RGB(0, 0, 200);

MenuLook TestLook() {
    MenuLook look;
    look.colors = MenuColors{RGB(0, 0, 0), kBackground, kHighlight, RGB(255, 255, 255), RGB(128, 128, 128)};
    return look;
}

// The item data the device keeps for an entry, as WM_MEASUREITEM and WM_DRAWITEM hand it back.
ULONG_PTR ItemData(HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info.dwItemData;
}

// What the device learns of the entries is checked through the emulator's menu dump (tests/integration_emu);
// here which WM_MEASUREITEM and WM_DRAWITEM records the menu claims, and that its menus go with it.
TEST(OwnerDrawnMenu, ClaimsOnlyItsOwnRecords) {
    test::TempDevice device;
    auto owned = std::make_unique<OwnerDrawnMenu>(TestLook());
    OwnerDrawnMenu& menu = *owned;
    menu.AddCommand(1, u"One");
    OwnerDrawnMenu* submenu = menu.AddSubmenu(u"More");
    submenu->AddCommand(2, u"Two");
    OwnerDrawnMenu other(TestLook());
    other.AddCommand(3, u"Three");

    MEASUREITEMSTRUCT measure{ODT_MENU, 0, 2, 0, 0, ItemData(submenu->handle(), 0)};
    EXPECT_TRUE(menu.MeasureItem(measure));  // a submenu's entry is its parent's too
    EXPECT_GT(measure.itemWidth, 20u);
    EXPECT_GE(measure.itemHeight, 20u);  // room for a 16-pixel icon

    for (ULONG_PTR foreign : {ItemData(other.handle(), 0), ULONG_PTR{0}, ULONG_PTR{0x1234}}) {
        MEASUREITEMSTRUCT not_ours{ODT_MENU, 0, 3, 0, 0, foreign};
        EXPECT_FALSE(menu.MeasureItem(not_ours));
        EXPECT_EQ(not_ours.itemWidth, 0u);
        DRAWITEMSTRUCT draw{ODT_MENU, 0, 3, ODA_DRAWENTIRE, 0, nullptr, nullptr, RECT{}, foreign};
        EXPECT_FALSE(menu.DrawItem(draw));
    }
    MEASUREITEMSTRUCT button{4 /* ODT_BUTTON */, 0, 1, 0, 0, ItemData(menu.handle(), 0)};
    EXPECT_FALSE(menu.MeasureItem(button));

    HMENU root = menu.handle();
    HMENU more = submenu->handle();
    owned.reset();
    EXPECT_FALSE(IsMenu(root) || IsMenu(more));
}

TEST(OwnerDrawnMenu, TheHighlightIsABlendedBarAndGrayEntriesHaveNone) {
    test::TempDevice device;
    OwnerDrawnMenu menu(TestLook());
    menu.AddCommand(1, u"Entry");
    MenuBarColors bar = MenuBarColorsOf(TestLook().colors);
    EXPECT_TRUE(bar.fill != kHighlight && bar.fill != kBackground);

    MemoryDc dc(nullptr);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc.get(), 120, 20));
    ScopedSelection selected(dc.get(), bitmap.get());
    const RECT rect{0, 0, 120, 20};
    struct Case {
        UINT state;
        COLORREF inside;  // a pixel inside the entry, clear of the text
        COLORREF corner;  // the top-left corner: the bar's light edge when highlighted
    };
    for (const Case& c : std::vector<Case>{{0, kBackground, kBackground},
                                           {ODS_SELECTED, bar.fill, bar.light_edge},
                                           {ODS_SELECTED | ODS_GRAYED, kBackground, kBackground},
                                           {ODS_CHECKED, kBackground, kBackground}}) {
        DRAWITEMSTRUCT draw{
            ODT_MENU, 0, 1, ODA_DRAWENTIRE, c.state, nullptr, dc.get(), rect, ItemData(menu.handle(), 0)};
        ASSERT_TRUE(menu.DrawItem(draw));
        EXPECT_EQ(
            std::tuple(GetPixel(dc.get(), 110, 10), GetPixel(dc.get(), 0, 0), GetPixel(dc.get(), 119, 19)),
            std::tuple(c.inside, c.corner, c.state == ODS_SELECTED ? bar.dark_edge : c.corner))
            << "state " << c.state;
    }
    // A checked entry carries its mark in the left column.
    int marked = 0;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y) marked += GetPixel(dc.get(), x, y) == RGB(0, 0, 0);
    EXPECT_GT(marked, 10);
}

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
    EXPECT_EQ(std::tuple(normal.lfHeight, normal.lfWeight, std::u16string(normal.lfFaceName)),
              std::tuple(-21, FW_NORMAL, u"Tahoma"));
    EXPECT_EQ(log_font(MenuFontPair::kNormal, MenuFontSize::kDouble).lfHeight, -42);
    EXPECT_EQ(log_font(MenuFontPair::kBold, MenuFontSize::kSingle).lfWeight, FW_BOLD);
    EXPECT_EQ(log_font(MenuFontPair::kSmall, MenuFontSize::kDouble).lfHeight, -38);
    fonts.Free();
    EXPECT_EQ(fonts.Get(MenuFontPair::kNormal, MenuFontSize::kSingle), nullptr);
}

}  // namespace
}  // namespace qf::display
