// The Today screen's side of the item: InitializeCustomItem, the refresh-cache negotiation, the two
// timers, the selection messages and the release-database message.
#include <gtest/gtest.h>

#include "host/about.h"
#include "host/entry_points.h"
#include "host/item_fixture.h"
#include "host/timers.h"
#include "qfdevice/window_manager.h"
#include "qfdevice/window_surface.h"

namespace qf::host::test {
namespace {

constexpr char16_t kNoView[] = u"No View items are available:  Please configure Quillfeed.";

TEST_F(ItemTest, DisabledItemCreatesNothing) {
    TODAYLISTITEM record = Record(FALSE);
    EXPECT_EQ(CreateTodayItem(record), nullptr);
    EXPECT_EQ(CreateWindowExW(0, u"ZelTodayRSSClass", u"", 0, 0, 0, 1, 1, shell(), nullptr, nullptr, nullptr),
              nullptr)
        << "no window class registered";
    EXPECT_EQ(Setting(u"Today", u"HWND"), std::nullopt);
    EXPECT_EQ(Item().window, nullptr);
}

TEST_F(ItemTest, EnabledItemIsAParkedChildThatPublishesItsHandle) {
    HWND item = CreateEnabledItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(GetParent(item), shell());
    RECT rect{};
    GetWindowRect(item, &rect);
    EXPECT_EQ(std::tuple(rect.left, rect.right - rect.left, rect.bottom - rect.top),
              std::tuple(0x1001F, 150, 100));
    EXPECT_EQ(Setting(u"Today", u"HWND"), static_cast<LONG>(reinterpret_cast<std::uintptr_t>(item)));
    EXPECT_TRUE(TimerRuns(item, kStartupTimer));
    EXPECT_EQ(Item().top_level, shell());
    DestroyWindow(item);
    EXPECT_EQ(Setting(u"Today", u"HWND"), 0);

    // A class left over from an earlier item is replaced by the next one, and a configured top-level
    // window name that matches nothing still leaves the Today screen as the top level.
    AppSettings().WriteString(u"Today", u"TopLevelWindowName", u"Somewhere Else");
    TODAYLISTITEM again = Record(TRUE);
    EXPECT_NE(CreateTodayItem(again), nullptr);
    EXPECT_EQ(Item().top_level, shell());
}

TEST_F(ItemTest, RefreshCacheReportsTheHeightOnTheFirstQueryAndAfterAChange) {
    HWND item = CreateEnabledItem();
    MessageRecorder recorder(item);
    auto query = [&] {
        return SendMessageW(item, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record_), 0);
    };
    // Braces keep the calls in order.
    EXPECT_EQ((std::tuple{query(), record_.cyp, recorder.Count(WM_PAINT)}), std::tuple(TRUE, 75u, 1));
    EXPECT_EQ(DrawnTexts(item), kNoView);
    EXPECT_EQ((std::tuple{query(), recorder.Count(WM_PAINT)}), std::tuple(FALSE, 1));

    Item().item_height = 90, Item().height_changed = true;
    EXPECT_EQ((std::tuple{query(), record_.cyp, Item().height_changed, query()}),
              std::tuple(TRUE, 90u, false, FALSE));
    EXPECT_EQ(SendMessageW(item, WM_TODAYCUSTOM_QUERYREFRESHCACHE, 0, 0), FALSE);
}

TEST_F(ItemTest, StartupTimerFiresOnceAndHandsOverToTheHeartbeat) {
    HWND item = CreateEnabledItem();
    Item().status_text = u"Building View Listing...";
    Advance((999));
    EXPECT_TRUE(TimerRuns(item, kStartupTimer));
    Advance((1));
    EXPECT_EQ(std::tuple(TimerRuns(item, kStartupTimer), Item().heartbeat_running, Item().status_text),
              std::tuple(false, true, u""));
    EXPECT_EQ(Item().current_view_name, u"None Active");  // no database
}

TEST_F(ItemTest, HeartbeatReloadsOnChangeInFrontAndNoticesASleepingDevice) {
    HWND item = CreateEnabledItem();
    Advance((1000));

    AppSettings().WriteDword(u"Today", u"TodayHasChanged", 1);
    Item().status_text = u"stale";
    Advance((1000));
    EXPECT_EQ(std::tuple(Setting(u"Today", u"TodayHasChanged"), Item().status_text.empty(),
                         TimerRuns(item, kHeartbeatTimer)),
              std::tuple(0, true, true));

    EXPECT_EQ(Setting(u"AutoReload", u"ResetNextReload"), std::nullopt);
    Item().previous_tick_ms -= 6 * 60'000;
    Advance((1000));
    EXPECT_EQ(Setting(u"AutoReload", u"ResetNextReload"), 1);

    // With another window in front the change waits until the Today screen is back.
    HWND other = CreateWindowExW(0, u"DesktopExplorerWindow", u"Other", WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    AppSettings().WriteDword(u"Today", u"TodayHasChanged", 1);
    Advance((2000));
    EXPECT_EQ(Setting(u"Today", u"TodayHasChanged"), 1);
    SetForegroundWindow(shell());
    Advance((1000));
    EXPECT_EQ(Setting(u"Today", u"TodayHasChanged"), 0);
    DestroyWindow(other);
}

TEST_F(ItemTest, AboutShowsInBoldForFourTicks) {
    HWND item = CreateEnabledItem();
    SendMessageW(item, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record_), 0);
    Advance((1000));  // the heartbeat runs from here on

    AppSettings().WriteString(u"AutoReload", u"LastRefreshDate", u"05/02/2024 18:30");
    EXPECT_NE(ShowAbout(Item()), FALSE);
    std::vector<qf::device::DrawnText> about = qf::device::WindowTexts(item);
    ASSERT_EQ(about.size(), 1u);
    EXPECT_EQ(std::pair(about[0].text, about[0].font_weight), std::pair(AboutText(), int{FW_BOLD}));
    EXPECT_NE(about[0].text.find(u"Last Refresh: 05/02/2024 18:30"), std::u16string::npos);

    Advance((3000));
    EXPECT_EQ(DrawnTexts(item), AboutText());
    Advance((1000));
    EXPECT_EQ(DrawnTexts(item), kNoView);
}

TEST_F(ItemTest, SelectionFollowsTheTodayScreensKeys) {
    HWND item = CreateEnabledItem();
    auto send = [&](UINT message, WPARAM key) { return SendMessageW(item, message, key, 0); };

    EXPECT_EQ(send(WM_TODAYCUSTOM_USERNAVIGATION, VK_DOWN), 0);  // not selected yet
    EXPECT_EQ(send(WM_TODAYCUSTOM_RECEIVEDSELECTION, VK_RIGHT), 0);
    EXPECT_FALSE(Library().item_selected);
    for (WPARAM key : {WPARAM{VK_UP}, WPARAM{VK_DOWN}, WPARAM{0}}) {
        Library().item_selected = false;
        EXPECT_EQ(send(WM_TODAYCUSTOM_RECEIVEDSELECTION, key), 1) << key;
        EXPECT_TRUE(Library().item_selected);
    }
    for (WPARAM key : {VK_DOWN, VK_UP, VK_LEFT})
        EXPECT_EQ(send(WM_TODAYCUSTOM_USERNAVIGATION, key), 1) << key;
    EXPECT_TRUE(Library().item_selected);
    EXPECT_EQ((std::pair{send(WM_TODAYCUSTOM_USERNAVIGATION, VK_RIGHT), Library().item_selected}),
              std::pair(LRESULT{0}, false));
    Library().item_selected = true;
    EXPECT_EQ((std::pair{send(WM_TODAYCUSTOM_LOSTSELECTION, 0), Library().item_selected}),
              std::pair(LRESULT{1}, false));
}

TEST_F(ItemTest, SuspendAndActivationControlTheHeartbeat) {
    HWND item = CreateEnabledItem();
    Advance((1000));
    ASSERT_TRUE(TimerRuns(item, kHeartbeatTimer));

    auto runs_after = [&](UINT message, WPARAM wparam) {
        SendMessageW(item, message, wparam, 0);
        return TimerRuns(item, kHeartbeatTimer);
    };
    // Suspend, then deactivation (a suspended item only wakes up), deactivation, activation.
    EXPECT_EQ((std::vector{runs_after(0x03FF, 0), runs_after(WM_ACTIVATE, WA_INACTIVE),
                           runs_after(WM_ACTIVATE, WA_INACTIVE), runs_after(WM_ACTIVATE, WA_ACTIVE)}),
              (std::vector{false, true, false, true}));

    Item().schedule_active = true;
    SendMessageW(item, 0x03FF, 0, 0);
    SendMessageW(item, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_TRUE(TimerRuns(item, kHeartbeatTimer));
}

}  // namespace
}  // namespace qf::host::test
