// The display's decision tables, each tested whole: colours, font sizes, screen metrics and
// the choice of content and message.
#include <gtest/gtest.h>

#include "display/colors.h"
#include "display/font_size.h"
#include "display/item_content.h"
#include "display/screen_metrics.h"

namespace qf::display {
namespace {

TEST(Colors, LightenAndDarkenActOnlyForFractionsUpToOne) {
    COLORREF c = RGB(100, 0, 255);
    EXPECT_EQ(LightenColor(c, 0.5), RGB(177, 127, 255));  // 100 + 155 * 0.5 = 177.5, truncated
    EXPECT_EQ(LightenColor(c, 1.0), RGB(255, 255, 255));
    EXPECT_EQ(DarkenColor(c, 0.05), RGB(95, 0, 242));  // 255 - 12.75 = 242.25
    EXPECT_EQ(DarkenColor(c, 1.0), RGB(0, 0, 0));
    for (double outside : {0.0, -0.5, 1.01, 2.0}) {
        EXPECT_EQ(LightenColor(c, outside), c) << outside;
        EXPECT_EQ(DarkenColor(c, outside), c) << outside;
    }
    // The list's selection bar: the system highlight lightened by half.
    EXPECT_EQ(LightenColor(RGB(150, 150, 255), 0.5), RGB(202, 202, 255));
}

TEST(FontSize, EveryNameOnWesternAndFarEastSystems) {
    struct Row {
        const char16_t* name;
        double western;
        double japanese;
    };
    const Row rows[] = {
        {u"smallest", 6, 7},  {u"smaller", 7, 8},      {u"normal", 8, 9},       {u"larger", 9, 10},
        {u"largest", 10, 11}, {u"VGA - 16pt", 16, 17}, {u"VGA - 18pt", 16, 17}, {u"huge", 8, 9},
        {u"", 8, 9},          {u"Normal", 8, 9},
    };
    // Chinese (PRC and Taiwan), Japanese and Korean start a point higher, whatever the sublanguage.
    for (const Row& row : rows) {
        for (LANGID western : {0x0409, 0x0407, 0x0000})
            EXPECT_EQ(ItemFontPoints(row.name, western, 1), row.western);
        for (LANGID far_east : {0x0804, 0x0404, 0x0411, 0x0412})
            EXPECT_EQ(ItemFontPoints(row.name, far_east, 1), row.japanese);
        EXPECT_EQ(ItemFontPoints(row.name, 0x0409, 2), row.western * 2);
    }
}

TEST(FontSize, HeightRoundsHalfUpThenNegates) {
    EXPECT_EQ(FontHeightForPoints(96, 8), -11);   // 10.67 + 0.5
    EXPECT_EQ(FontHeightForPoints(96, 9), -12);   // 12.0 + 0.5
    EXPECT_EQ(FontHeightForPoints(192, 8), -21);  // 21.33 + 0.5
    EXPECT_EQ(FontHeightForPoints(192, 16), -43);
    EXPECT_EQ(FontHeightForPoints(72, 7.5), -8);  // 7.5 + 0.5 = 8.0 exactly
    EXPECT_EQ(FontHeightForPoints(0, 8), 0);
}

TEST(ScreenMetrics, DriversReportingTooFewPixelsGet96OnBothAxes) {
    auto check = [](int x, int y, int want_x, int want_y) {
        LogicalPixels got = SaneLogicalPixels(x, y);
        EXPECT_EQ(got.x, want_x) << x << "x" << y;
        EXPECT_EQ(got.y, want_y) << x << "x" << y;
    };
    check(0, 0, 96, 96);
    check(192, 0, 96, 96);
    check(47, 192, 96, 96);
    check(48, 48, 48, 48);
    check(192, 192, 192, 192);
    check(130, 131, 130, 131);
}

ContentState ListingWith(int items) {
    ContentState state;
    state.current_view_index = 0;
    state.listing_item_count = items;
    return state;
}

TEST(ItemContent, MessageWhenThereIsNothingElseToShow) {
    ContentState ticker = ListingWith(3);
    EXPECT_EQ(ChooseContent(ticker), ItemContent::kTicker);
    ContentState status = ticker;
    status.status_text = u"Downloading...";
    EXPECT_EQ(ChooseContent(status), ItemContent::kMessage);
    ContentState unusable = ticker;
    unusable.database_unusable = true;
    EXPECT_EQ(ChooseContent(unusable), ItemContent::kMessage);
    EXPECT_EQ(ChooseContent(ListingWith(0)), ItemContent::kMessage);

    ContentState list = ListingWith(0);  // list mode counts rows, not listing items
    list.list_mode = true;
    list.list_row_count = 2;
    EXPECT_EQ(ChooseContent(list), ItemContent::kList);
    list.details_shown = true;
    EXPECT_EQ(ChooseContent(list), ItemContent::kTicker);
    list.list_row_count = 0;
    EXPECT_EQ(ChooseContent(list), ItemContent::kMessage);
}

TEST(ItemContent, MessagesInOrderOfImportance) {
    ContentState state;
    state.database_unusable = true;
    state.database_message = u"Quillfeed Warnings - see Help\n";
    state.status_text = kAboutStatus;
    state.about_text = u"About";
    EXPECT_EQ(ChooseMessage(state).text, u"Quillfeed Warnings - see Help\n");

    state.database_unusable = false;
    MessageText about = ChooseMessage(state);
    EXPECT_EQ(about.text, u"About");
    EXPECT_EQ(about.weight, FW_BOLD);

    state.status_text = u"Building View Listing...";
    EXPECT_EQ(ChooseMessage(state).text, kNoViewMessage);
    EXPECT_EQ(ChooseMessage(state).weight, FW_NORMAL);

    state.current_view_index = 2;
    EXPECT_EQ(ChooseMessage(state).text, u"Building View Listing...");
    state.status_text.clear();
    EXPECT_EQ(ChooseMessage(state).text, u"Current View does not have any unread items.");
    state.listing_item_count = 4;
    EXPECT_EQ(ChooseMessage(state).text, u"");
}

}  // namespace
}  // namespace qf::display
