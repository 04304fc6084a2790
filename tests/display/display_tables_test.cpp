// The display's decision tables, each tested whole: font sizes, screen metrics and the choice of
// content and message.
#include <gtest/gtest.h>

#include <array>

#include "display/font_size.h"
#include "display/item_content.h"
#include "display/screen_metrics.h"

namespace qf::display {
namespace {

// The item's font size: the name's offset from a base of 8 points (9 on Chinese, Japanese and Korean
// systems, whatever the sublanguage), names matched exactly ("normal" for any other), times the multiplier.
TEST(FontSize, NameLanguageAndMultiplier) {
    struct Row {
        const char16_t* name;
        LANGID lang;
        int multiplier;
        double points;
    };
    const Row rows[] = {
        {u"smallest", 0x0409, 1, 6}, {u"largest", 0x0407, 1, 10},  {u"VGA - 18pt", 0x0409, 1, 16},
        {u"Normal", 0x0409, 1, 8},   {u"", 0x0000, 1, 8},          {u"smaller", 0x0804, 1, 8},
        {u"normal", 0x0404, 1, 9},   {u"larger", 0x0411, 1, 10},   {u"VGA - 16pt", 0x0412, 1, 17},
        {u"larger", 0x0409, 2, 18},  {u"smallest", 0x0411, 2, 14},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ItemFontPoints(row.name, row.lang, row.multiplier), row.points) << "row " << (&row - rows);
}

// Drivers that report 0 (or anything below 48) on either axis get 96 on both.
TEST(ScreenMetrics, TooFewPixelsOnEitherAxisGive96) {
    for (auto [x, y, want_x, want_y] : {std::array{0, 0, 96, 96}, std::array{192, 47, 96, 96},
                                        std::array{48, 48, 48, 48}, std::array{130, 131, 130, 131}}) {
        LogicalPixels got = SaneLogicalPixels(x, y);
        EXPECT_EQ(std::pair(got.x, got.y), std::pair(want_x, want_y)) << x << "x" << y;
    }
}

ContentState ListingWith(int items) {
    ContentState state;
    state.current_view_index = 0, state.listing_item_count = items;
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
    list.list_mode = true, list.list_row_count = 2;
    EXPECT_EQ(ChooseContent(list), ItemContent::kList);
    list.details_shown = true;
    EXPECT_EQ(ChooseContent(list), ItemContent::kTicker);
    list.list_row_count = 0;
    EXPECT_EQ(ChooseContent(list), ItemContent::kMessage);
}

TEST(ItemContent, MessagesInOrderOfImportance) {
    ContentState state;
    state.database_unusable = true, state.database_message = u"Quillfeed Warnings - see Help\n";
    state.status_text = kAboutStatus, state.about_text = u"About";
    EXPECT_EQ(ChooseMessage(state).text, u"Quillfeed Warnings - see Help\n");

    state.database_unusable = false;
    auto message = [&] { return std::pair(ChooseMessage(state).text, ChooseMessage(state).weight); };
    EXPECT_EQ(message(), std::pair(std::u16string(u"About"), LONG{FW_BOLD}));
    state.status_text = u"Building View Listing...";
    EXPECT_EQ(message(), std::pair(std::u16string(kNoViewMessage), LONG{FW_NORMAL}));

    state.current_view_index = 2;
    EXPECT_EQ(ChooseMessage(state).text, u"Building View Listing...");
    state.status_text.clear();
    EXPECT_EQ(ChooseMessage(state).text, u"Current View does not have any unread items.");
    state.listing_item_count = 4;
    EXPECT_EQ(ChooseMessage(state).text, u"");
}

}  // namespace
}  // namespace qf::display
