// The tab host's entries: creation of the item window and control strip, show and hide with and without
// a schedule, moving, hot keys and destruction; the control strip's taps, views menu and view name.
#include <gtest/gtest.h>

#include "host/entry_points.h"
#include "host/item_fixture.h"
#include "host/timers.h"
#include "qfdevice/menu_host.h"
#include "qfdevice/window_manager.h"

namespace qf::host::test {
namespace {

using std::chrono::milliseconds;

class TabTest : public ItemTest {
  protected:
    void SetUp() override {
        ItemTest::SetUp();
        item_ = CreateTab(shell(), TabRect{0, 30, 240, 200}, TabRect{0, 230, 240, 24}, &strip_);
        ASSERT_NE(item_, nullptr);
        ASSERT_NE(strip_, nullptr);
    }
    void TearDown() override {
        DestroyTab();
        ItemTest::TearDown();
    }

    static RECT WindowRect(HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }

    HWND item_ = nullptr;
    HWND strip_ = nullptr;
};

TEST_F(TabTest, HotKeysActOnlyWhenPressedAndAlwaysAnswerOne) {
    MessageRecorder item_messages(item_);
    MessageRecorder strip_messages(strip_);
    auto paints = [&] { return std::pair(item_messages.Count(WM_PAINT), strip_messages.Count(WM_PAINT)); };
    EXPECT_EQ((std::vector{HotKeyDown(0), HotKeyUp(0), HotKeyEnter(0)}), std::vector(3, 1));
    EXPECT_EQ(paints(), std::pair(0, 0));
    EXPECT_EQ((std::vector{HotKeyDown(1), HotKeyUp(0x80), HotKeyEnter(1)}), std::vector(3, 1));
    EXPECT_EQ(paints(), std::pair(3, 3));  // the strip repaints first
}

TEST_F(TabTest, MoveWindowChangesTheReportedHeightAndLeavesTheStrip) {
    RECT strip_before = WindowRect(strip_);
    MoveTab(TabRect{0, 40, 240, 120});
    RECT moved = WindowRect(item_);
    EXPECT_EQ(std::pair(moved.top, moved.bottom - moved.top), std::pair(LONG{40}, LONG{120}));
    RECT strip_after = WindowRect(strip_);
    EXPECT_TRUE(EqualRect(&strip_before, &strip_after));

    TODAYLISTITEM record = Record(TRUE);
    auto query = [&record](HWND window) {
        LRESULT answer =
            SendMessageW(window, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record), 0);
        return std::pair(answer, record.cyp);
    };
    EXPECT_EQ(query(item_), std::pair(LRESULT{TRUE}, DWORD{120}));
    // Moving raises no height-changed flag: a later query has nothing new to report.
    MoveTab(TabRect{0, 40, 240, 150});
    EXPECT_EQ(query(item_), std::pair(LRESULT{FALSE}, DWORD{120}));
    // The control strip answers the query like the item window.
    record.cyp = 0;
    EXPECT_EQ(query(strip_), std::pair(LRESULT{TRUE}, DWORD{150}));
}

TEST_F(TabTest, HideStopsTheHeartbeatUnlessAScheduleNeedsIt) {
    qf::device::AdvanceClockAndPump(milliseconds(1000));  // the start-up has run
    HideTab();
    ShowTab();
    EXPECT_TRUE(TimerRuns(item_, kHeartbeatTimer));
    EXPECT_TRUE(IsWindowVisible(item_));

    HideTab();
    EXPECT_FALSE(TimerRuns(item_, kHeartbeatTimer) || Item().heartbeat_running || IsWindowVisible(item_) ||
                 IsWindowVisible(strip_));

    ShowTab();
    EXPECT_TRUE(IsWindowVisible(strip_));
    Item().schedule_active = true;
    HideTab();
    EXPECT_TRUE(TimerRuns(item_, kHeartbeatTimer));
    EXPECT_FALSE(Item().visible);
    EXPECT_FALSE(IsWindowVisible(item_));

    // Hidden, the ticks serve the schedule only: a requested repaint waits.
    MessageRecorder recorder(item_);
    Item().repaint_requested = true;
    Item().ticker_delay = 0;
    qf::device::AdvanceClockAndPump(milliseconds(3000));
    EXPECT_EQ(recorder.Count(WM_PAINT), 0);
    EXPECT_TRUE(Item().repaint_requested);
}

// The item is published as in the Today screen and starts up; destroying forgets both windows, and the
// entries called afterwards do nothing.
TEST_F(TabTest, CreateAndDestroyPublishAndForgetTheItem) {
    EXPECT_EQ(Setting(u"Today", u"HWND"), static_cast<LONG>(reinterpret_cast<std::uintptr_t>(item_)));
    EXPECT_TRUE(TimerRuns(item_, kStartupTimer));
    EXPECT_EQ(Item().item_height, 200);
    DestroyTab();
    EXPECT_FALSE(IsWindow(item_));
    EXPECT_FALSE(IsWindow(strip_));
    EXPECT_EQ(Setting(u"Today", u"HWND"), 0);
    DestroyTab();
    ShowTab();
    HideTab();
    EXPECT_EQ(HotKeyDown(1), 1);
    EXPECT_EQ(ShowTabAbout(), FALSE);
}

// The strip's left 35 pixels open the main menu at its bottom-left corner, the rest the views menu (40
// further right, as the tab host's own test checks), and nothing while a run is active; a view name too
// long for the strip is cut with "...".
TEST_F(TabTest, StripTapsOpenTheMainOrTheViewsMenu) {
    MakeDatabase(1, 2);
    qf::device::AdvanceClockAndPump(milliseconds(1000));  // the start-up has run
    std::vector<device::MenuEntryInfo> shown;
    POINT at{};
    device::SetMenuHook([&](HMENU) {
        shown = device::TrackedMenu()->entries;
        at = device::TrackedMenu()->position;
        EndMenu();
    });
    auto first_entry_at = [&](int x) {
        shown.clear();
        SendMessageW(strip_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
        return shown.empty() ? std::u16string(u"none") : shown.front().text;
    };
    EXPECT_EQ(first_entry_at(0), u"Reload Feed Data");
    EXPECT_EQ(std::pair(at.x, at.y), std::pair(LONG{0}, LONG{254}));
    EXPECT_EQ(first_entry_at(34), u"Reload Feed Data");
    EXPECT_EQ(first_entry_at(35), u"Feed List");
    EXPECT_EQ(first_entry_at(239), u"Feed List");
    Item().downloading = true;
    EXPECT_EQ(first_entry_at(5), u"none");
    device::SetMenuHook({});

    Item().current_view_name = u"Every story from every feed I read";
    InvalidateRect(strip_, nullptr, TRUE);
    UpdateWindow(strip_);
    std::u16string cut = DrawnTexts(strip_);
    EXPECT_EQ(cut.substr(cut.size() - 3), u"...") << std::string(cut.begin(), cut.end());
}

}  // namespace
}  // namespace qf::host::test
