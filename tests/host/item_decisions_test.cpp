// The item window's decision tables, each tested whole: taps, selection moves, activation, feed rows,
// menus, start-up warnings and view choice, the window's side of a download run, and the heartbeat.
#include <gtest/gtest.h>

#include <functional>

#include "host/command_ids.h"
#include "host/download_texts.h"
#include "host/feed_expansion.h"
#include "host/list_building.h"
#include "host/menu_entries.h"
#include "host/selection_moves.h"
#include "host/startup_warnings.h"
#include "host/tap_decision.h"
#include "host/timers.h"

namespace qf::host {
namespace {

using display::HostMode;

TEST(TapDecision, EveryAreaInEveryMode) {
    const std::vector<display::LinkIcon> links{{u"http://a", 2}, {u"http://b", 40}};
    TapInput base{.width = 240, .height = 75, .links = &links, .thumb = {30, 40}};
    base.first_visible = 4, base.rows_per_page = 5, base.row_pitch = 14, base.row_count = 7;
    auto list = [](TapInput& t) { t.list_mode = true; };
    auto details = [](TapInput& t) { t.list_mode = t.details_shown = t.expanded = true; };
    auto expanded = [](TapInput& t) { t.expanded = true; };
    auto tab = [](TapInput& t) { t.host_mode = HostMode::kTab; };
    auto downloading = [](TapInput& t) { t.downloading = true; };
    auto dragging = [](TapInput& t) { t.expanded = t.dragging = true; };
    auto dragging_list = [](TapInput& t) { t.list_mode = t.dragging = true; };
    auto no_thumb = [](TapInput& t) { t.expanded = true, t.thumb = {}; };
    struct Row {
        const char* what;
        int x, y;
        std::function<void(TapInput&)> setup;
        TapAction expected;
    };
    const auto none = [](TapInput&) {};
    const Row rows[] = {
        {"menu button", 5, 5, none, {TapKind::kMainMenu}},
        {"menu button's left edge is outside", 1, 5, none, {TapKind::kItemMenu}},
        {"no menu button in tab mode", 5, 5, tab, {TapKind::kItemMenu}},
        {"downloading: every tap offers the cancel", 120, 40, downloading, {TapKind::kMainMenu}},
        {"up arrow in the ticker", 230, 5, none, {TapKind::kMoveUp}},
        {"up arrow in the list pages", 225, 0, list, {TapKind::kPageUp}},
        {"down arrow in details steps", 239, 74, details, {TapKind::kMoveDown}},
        {"down arrow in the list pages", 230, 63, list, {TapKind::kPageDown}},
        {"arrows ignored while dragging", 230, 5, dragging, {TapKind::kNothing}},
        {"track above the thumb", 230, 20, expanded, {TapKind::kMoveUp, -1, true}},
        {"track on the thumb", 230, 30, expanded, {TapKind::kNothing, -1, true}},
        {"track below the thumb (bottom excluded)", 230, 40, list, {TapKind::kPageDown, -1, true}},
        {"track without a thumb only drags", 230, 20, no_thumb, {TapKind::kNothing, -1, true}},
        {"collapsed ticker has no track", 230, 20, none, {TapKind::kItemMenu}},
        {"back button in details", 5, 70, details, {TapKind::kReturnToList}},
        {"back button elsewhere", 5, 70, none, {TapKind::kNothing}},
        {"dragging outside the track", 100, 20, dragging_list, {TapKind::kNothing}},
        {"first link icon", 25, 10, none, {TapKind::kOpenLink, 0}},
        {"second link icon", 35, 50, details, {TapKind::kOpenLink, 1}},
        {"icon edges are outside", 20, 10, none, {TapKind::kItemMenu}},
        {"icon top edge is outside", 25, 40, none, {TapKind::kItemMenu}},
        {"tab mode icon column", 10, 10, tab, {TapKind::kOpenLink, 0}},
        {"no icons in the list", 25, 10, list, {TapKind::kActivateRow, 4}},
        {"list row", 100, 29, list, {TapKind::kActivateRow, 6}},
        {"below the last row", 100, 45, list, {TapKind::kNothing}},
        {"below the page", 100, 70, list, {TapKind::kNothing}},
        {"details elsewhere", 100, 30, details, {TapKind::kNothing}},
        {"ticker elsewhere", 100, 30, none, {TapKind::kItemMenu}},
    };
    for (const Row& row : rows) {
        TapInput tap = base;
        tap.x = row.x, tap.y = row.y;
        row.setup(tap);
        TapAction got = DecideTap(tap);
        EXPECT_EQ(got, row.expected) << row.what << ": kind " << static_cast<int>(got.kind) << " index "
                                     << got.index;
    }
    TapInput vga = base;
    vga.scale = 2, vga.width = 480, vga.height = 150, vga.x = 31, vga.y = 30;
    EXPECT_EQ(DecideTap(vga), (TapAction{TapKind::kMainMenu})) << "menu button scales";
}

SelectionState Ticker(int item, int count) {
    return {.line_px = 10, .current_item = item, .item_count = count, .position = {}};
}

SelectionState List(int selected, int first, int last, int per_page, int rows) {
    return {.list_mode = true, .position = {selected, first, last, per_page}, .row_count = rows};
}

// The fields the moves change, on one line.
std::string Describe(const SelectionState& s) {
    return "item " + std::to_string(s.current_item) + " expanded " + std::to_string(s.expanded) + " scroll " +
           std::to_string(s.scroll_offset) + "/" + std::to_string(s.max_scroll) + " hits " +
           std::to_string(s.bottom_hits);
}

TEST(SelectionMoves, TickerItemsAndDescriptionLines) {
    EXPECT_EQ(Describe(MoveDown(Ticker(1, 3))), "item 2 expanded 1 scroll 0/0 hits 0");
    EXPECT_EQ(MoveDown(Ticker(2, 3)).current_item, 0) << "the ticker wraps";
    EXPECT_EQ(MoveUp(Ticker(0, 3)).current_item, 2);

    SelectionState details = Ticker(2, 3);
    details.list_mode = details.details_shown = true;
    EXPECT_EQ(MoveDown(details).current_item, 2) << "details stay on the last item";
    details.current_item = 0;
    EXPECT_EQ(MoveUp(details).current_item, 0);

    SelectionState scrolled = Ticker(1, 3);
    scrolled.expanded = true;
    scrolled.max_scroll = 25;
    scrolled = MoveDown(scrolled);
    EXPECT_EQ(Describe(scrolled), "item 1 expanded 1 scroll 10/25 hits 0");
    scrolled = MoveDown(MoveDown(scrolled));
    EXPECT_EQ(Describe(scrolled), "item 1 expanded 1 scroll 25/25 hits 1") << "stops at the maximum";
    EXPECT_EQ(Describe(MoveDown(scrolled)), "item 2 expanded 1 scroll 0/0 hits 0")
        << "one more press moves on";

    SelectionState up = MoveUp(scrolled);
    EXPECT_EQ(Describe(up), "item 1 expanded 1 scroll 15/25 hits 0");
    up = MoveUp(MoveUp(up));
    EXPECT_EQ(Describe(up), "item 1 expanded 1 scroll 0/25 hits -1");
    EXPECT_EQ(MoveUp(up).current_item, 0) << "one more press at the top steps back";
}

TEST(SelectionMoves, ListRowsAndPages) {
    struct Row {
        const char* what;
        SelectionState (*move)(SelectionState);
        SelectionState from;
        display::ListPosition expected;
    };
    const Row rows[] = {
        {"down inside the page", MoveDown, List(1, 0, 4, 5, 12), {2, 0, 4, 5}},
        {"down onto the page's last row", MoveDown, List(3, 0, 4, 5, 12), {4, 0, 4, 5}},
        {"down below the page", MoveDown, List(4, 0, 4, 5, 12), {5, 1, 5, 5}},
        {"down past the last row", MoveDown, List(11, 10, 11, 5, 12), {11, 7, 11, 5}},
        {"up inside the page", MoveUp, List(3, 0, 4, 5, 12), {2, 0, 4, 5}},
        {"up onto the page's first row", MoveUp, List(6, 5, 9, 5, 12), {5, 5, 9, 5}},
        {"up above the page", MoveUp, List(5, 5, 9, 5, 12), {4, 4, 8, 5}},
        {"up before the first row", MoveUp, List(0, 0, 4, 5, 12), {0, 0, 4, 5}},
        {"page down (the paint then shows the page of row 6)", PageDown, List(1, 0, 4, 5, 12), {6, 4, 8, 5}},
        {"page down at the end", PageDown, List(10, 10, 11, 5, 12), {11, 7, 11, 5}},
        {"page up", PageUp, List(6, 5, 9, 5, 12), {1, 1, 5, 5}},
        {"page up at the start", PageUp, List(2, 0, 4, 5, 12), {0, 0, 4, 5}},
    };
    for (const Row& row : rows) {
        display::ListPosition got = row.move(row.from).position;
        EXPECT_EQ(std::tuple(got.selected, got.first_visible, got.last_visible),
                  std::tuple(row.expected.selected, row.expected.first_visible, row.expected.last_visible))
            << row.what;
    }
    auto page = [](display::ListPosition p) { return std::pair(p.first_visible, p.last_visible); };
    EXPECT_EQ(page(PageHolding({0, 0, 4, 5}, 7)), std::pair(3, 7));
    EXPECT_EQ(page(PageHolding({9, 6, 10, 5}, 2)), std::pair(2, 6));
}

display::ListRow FeedRow(int feed, bool expanded = false) {
    return {.text = {}, .feed_id = feed, .expanded = expanded, .feed_index = feed};
}

display::ListRow ItemRow(int feed, int index) {
    return {.text = {}, .feed_id = feed, .item_id = 100 + index, .item_index = index};
}

TEST(SelectionMoves, ActivationByModeAndRow) {
    display::ListRow item = ItemRow(1, 0), open_feed = FeedRow(1, true), closed_feed = FeedRow(1);
    EXPECT_EQ(
        (std::vector{DecideActivation(false, false, nullptr), DecideActivation(true, true, &item),
                     DecideActivation(true, false, &item), DecideActivation(true, false, &closed_feed),
                     DecideActivation(true, false, &open_feed), DecideActivation(true, false, nullptr)}),
        (std::vector{Activation::kToggleExpanded, Activation::kReturnToList, Activation::kOpenDetails,
                     Activation::kExpandFeed, Activation::kCollapseFeed, Activation::kNothing}));
}

TEST(FeedExpansion, OneFeedOpenAtATime) {
    std::vector<ListingRow> listing(20);
    for (int i = 0; i < 20; ++i) listing[i].item_id = 100 + i;
    std::vector<display::ListRow> rows{FeedRow(1, true), ItemRow(1, 0), ItemRow(1, 1), FeedRow(2),
                                       FeedRow(3)};
    int selected = 4;
    int feed_row = CollapseOtherFeeds(rows, 4, selected);
    // The selection follows the removed rows above it.
    EXPECT_EQ(std::tuple(feed_row, selected, rows.size()), std::tuple(2, 2, size_t{3}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows[0].expanded);

    InsertFeedItems(rows, feed_row, listing);
    ASSERT_EQ(rows.size(), 3u + kMaxFeedItemRows);
    EXPECT_EQ(std::tuple(rows[2].expanded, rows[3].item_id, rows[3].feed_id, rows[18].item_index,
                         rows[1].IsFeedRow()),
              std::tuple(true, 100, 3, 15, true));

    selected = 10;
    CollapseFeedRow(rows, 2, selected);
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(selected, 2) << "a selected item row gives the selection to its feed";
}

// A menu in one line: "-" for a separator, "text=id" for a command ("*" in front when checked) and
// "text[...]" for a submenu.
std::string Shown(const std::vector<MenuEntry>& entries) {
    std::string shown;
    for (const MenuEntry& entry : entries) {
        shown += shown.empty() ? "" : "|";
        if (entry.IsSeparator()) {
            shown += "-";
            continue;
        }
        shown += (entry.checked ? "*" : "") + std::string(entry.text.begin(), entry.text.end());
        shown += entry.submenu.empty() ? "=" + std::to_string(entry.id) : "[" + Shown(entry.submenu) + "]";
    }
    return shown;
}

TEST(MenuEntries, MainViewsAndItemMenusInEveryState) {
    std::vector<ViewEntry> views{{7, u"What's New", 1}, {9, u"Tech", 1}};
    MenuState state;
    state.views = &views;
    state.current_view_index = 1;
    state.font_size_name = u"larger";
    const std::string kFonts =
        "Font Size[smallest=2010|smaller=2011|normal=2012|*larger=2013|largest=2014]|-|Use List Mode=2041|"
        "Settings...=2004|Launch Quillfeed...=2005|Help=2002|-|";
    EXPECT_EQ(Shown(MainMenuEntries(state)),
              "Reload Feed Data=2003|-|Views[Feed List=2040|What's New=4100|*Tech=4101]|-|" + kFonts +
                  "About=2007|-|Cancel=2001");

    state.downloading = true;
    EXPECT_EQ(Shown(MainMenuEntries(state)), "Cancel Downloading=2999");
    state.downloading = false;

    state.host_mode = HostMode::kTab;  // no Views and no About; list mode checked
    state.list_mode = true;
    std::string tab_fonts = kFonts;
    tab_fonts.replace(tab_fonts.find("Use List"), 0, "*");
    EXPECT_EQ(Shown(MainMenuEntries(state)), "Reload Feed Data=2003|-|" + tab_fonts + "Cancel=2001");

    state.host_mode = HostMode::kToday;
    state.list_mode = false;
    state.database_usable = false;
    state.feed_list = true;
    state.offer_real_vga = true;
    state.font_size_name = u"VGA - 18pt";
    EXPECT_EQ(
        Shown(MainMenuEntries(state)),
        "Font Size[smallest=2010|smaller=2011|normal=2012|larger=2013|largest=2014|*Real VGA - 16pt=2015]|"
        "-|Use List Mode=2041|Settings...=2004|Launch Quillfeed...=2005|Help=2002|-|Cancel=2001");

    // The Views menu; no view is checked while the feed list shows.
    state = MenuState{};
    state.views = &views, state.current_view_index = 0;
    EXPECT_EQ(Shown(ViewsMenuEntries(state)), "Feed List=2040|-|*What's New=4100|Tech=4101|-|Cancel=2001");
    state.feed_list = true;
    EXPECT_EQ(Shown(ViewsMenuEntries(state)), "*Feed List=2040|-|What's New=4100|Tech=4101|-|Cancel=2001");
    EXPECT_EQ(Shown(ViewsMenuEntries(state)), "*Feed List=2040|-|What's New=4100|Tech=4101|-|Cancel=2001");
    EXPECT_EQ(Shown(ItemMenuEntries(true)), "Resume=2020|-|Previous Item=2022|Next Item=2023");
    EXPECT_EQ(Shown(ItemMenuEntries(false)), "Pause=2021|-|Previous Item=2022|Next Item=2023");
}

TEST(StartupWarnings, LimitsAndOrder) {
    ResourceFigures healthy{true, 1, 2048, 1, 2048, 5, 5120};
    EXPECT_EQ(WarningsText(healthy), u"") << "a database of exactly the limit is fine";

    ResourceFigures all{false, 2, 2047, 3, 100, 5, 5121};
    EXPECT_EQ(WarningsText(all),
              u"Quillfeed Warnings - see Help\n- ADO dll files are not functioning.\n"
              u"- Less than 2 MB of RAM is available.\n\n- Less than 3 MB of disk space is available.\n\n"
              u"- Your database is over 5 MB. You should remove old Feed data.\n\n");

    ResourceFigures off{true, 0, 0, 0, 0, 0, 1e9};
    EXPECT_EQ(WarningsText(off), u"") << "0 switches each check off";
}

TEST(StartupView, StoredIdFirstViewOrNone) {
    std::vector<ViewEntry> views{{7, u"A", 1}, {9, u"B", 1}};
    auto choose = [](const std::vector<ViewEntry>& from, int id) {
        StartView v = ChooseStartView(from, id);
        return std::pair(v.index, v.write_view_id);
    };
    EXPECT_EQ(choose(views, 9), std::pair(1, false));
    EXPECT_EQ(choose(views, 0), std::pair(0, false));
    EXPECT_EQ(choose(views, 42), std::pair(0, true)) << "a deleted view is replaced by the first";
    EXPECT_EQ(choose({}, 9).first, -1);
}

TEST(DownloadPrompt, EveryStateOnATick) {
    struct Row {
        PromptState state;
        int counter;
        PromptStep expected;
    };
    const Row rows[] = {
        {PromptState::kStartWithoutAsking, 1, {PromptState::kStartWithoutAsking, 2, false, false}},
        {PromptState::kStartWithoutAsking, 9, {PromptState::kIdle, 0, true, true}},
        {PromptState::kWaiting, 28, {PromptState::kWaiting, 29, false, false}},
        {PromptState::kWaiting, 29, {PromptState::kIdle, 0, true, false}},
        {PromptState::kDownloadNow, 5, {PromptState::kIdle, 0, true, true}},
        {PromptState::kCancelled, 5, {PromptState::kIdle, 0, false, false}},
        {PromptState::kIdle, 5, {PromptState::kIdle, 0, false, false}},
    };
    for (const Row& row : rows) {
        auto fields = [](PromptStep p) {
            return std::tuple(p.state, p.counter, p.remove_notification, p.start_download);
        };
        EXPECT_EQ(fields(StepPrompt(row.state, row.counter)), fields(row.expected))
            << static_cast<int>(row.state) << " at " << row.counter;
    }
}

// Which text a failed start shows and how a run's end reads; the running texts are checked where the
// item runs a download.
TEST(DownloadPrompt, FailureAndEndTexts) {
    EXPECT_EQ(StartFailureText({false, false, -1}), u"Failed to Build List");
    EXPECT_EQ(StartFailureText({true, false, -1}), u"No Audio Content available");
    EXPECT_TRUE(
        StartFailureText({false, true, -2}).starts_with(u"Failed to Start Download.  A download appears"));
    EXPECT_EQ(StartFailureText({false, true, -3}), u"Could not establish an Internet connection.");
    EXPECT_EQ(StartFailureText({false, true, 0}), u"");
    EXPECT_EQ(RunEndText(1) + u"|" + RunEndText(2) + u"|" + RunEndText(7),
              u"Download Cancelled by User|Downloading Stopped: Lost Network Connection|Download Cancelled "
              u"by User");
}

TEST(Heartbeat, OnlyMoreThanFiveWholeMinutesMeanTheDeviceSlept) {
    constexpr std::int64_t kMinute = 60'000;
    // The third is 5 whole minutes and 59.999 s; in the last the clock went back.
    EXPECT_EQ((std::vector{DeviceSlept(0, 1000), DeviceSlept(0, 5 * kMinute), DeviceSlept(0, 6 * kMinute - 1),
                           DeviceSlept(0, 6 * kMinute), DeviceSlept(10 * kMinute, 17 * kMinute),
                           DeviceSlept(10 * kMinute, 0)}),
              (std::vector{false, false, false, true, true, false}));
}

// One tick of the display: the ticker rotates after `ticker_delay` ticks and wraps, a negative counter
// counts down a status text, and the rest only repaints on request.
TEST(Heartbeat, DisplayStepTable) {
    struct Row {
        const char* what;
        bool list, expanded, requested;
        int delay, counter, index, items;
        DisplayTick expected;  // counter, index, clear status, repaint, still requested
    };
    const Row rows[] = {
        {"counting", false, false, false, 3, 0, 0, 5, {1, 0, false, false, false}},
        {"delay reached: next item", false, false, false, 3, 2, 1, 5, {0, 2, false, true, false}},
        {"after the last item the first", false, false, false, 3, 2, 4, 5, {0, 0, false, true, false}},
        {"countdown ends: status cleared", false, false, false, 3, -1, 2, 5, {0, 2, true, true, false}},
        {"delay 0 stops the rotation", false, false, true, 0, 0, 1, 5, {0, 1, false, true, false}},
        {"an expanded item stays", false, true, false, 3, 2, 1, 5, {2, 1, false, false, false}},
        {"the request waits for the count", false, false, true, 3, 0, 1, 5, {1, 1, false, false, true}},
        {"list mode does not rotate", true, false, false, 3, 0, 1, 5, {0, 1, false, false, false}},
    };
    for (const Row& row : rows) {
        auto fields = [](DisplayTick t) {
            return std::tuple(t.tick_counter, t.current_item_index, t.clear_status, t.repaint,
                              t.repaint_requested);
        };
        EXPECT_EQ(fields(PlanDisplayTick(
                      {row.list, row.expanded, row.delay, row.counter, row.requested, row.index, row.items})),
                  fields(row.expected))
            << row.what;
    }
}

}  // namespace
}  // namespace qf::host
