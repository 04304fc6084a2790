// The item at work on a filled database: start-up, ticker and list, keys, taps, menus, commands and the
// browser hand-off, seen through what the item draws, what it writes and what it launches.
#include <gtest/gtest.h>

#include <fstream>

#include "download/download_status.h"
#include "host/command_ids.h"
#include "host/entry_points.h"
#include "host/item_fixture.h"
#include "host/timers.h"
#include "qfdevice/device.h"
#include "qfdevice/item_report.h"
#include "qfdevice/launches.h"
#include "qfdevice/menu_host.h"
#include "support/feed_server.h"
#include "support/watchdog.h"

namespace qf::host::test {
namespace {

bool Drawn(const std::u16string& texts, const std::u16string& text) {
    return texts.find(text) != std::u16string::npos;
}

class ItemAtWork : public ItemTest {
  protected:
    // Creates the item as the Today screen does and lets the start-up timer run.
    HWND Start(int feeds = 2, int items = 3) {
        MakeDatabase(feeds, items);
        HWND item = CreateEnabledItem();
        SendMessageW(item, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record_), 0);
        MoveWindow(item, 0, 26, 240, Item().item_height, TRUE);
        Advance(1000);
        return item;
    }
    void Key(HWND item, WPARAM key) {
        Library().item_selected = true;
        if (key == VK_RETURN) {
            SendMessageW(item, WM_TODAYCUSTOM_ACTION, 0, 0);
        } else {
            SendMessageW(item, WM_TODAYCUSTOM_USERNAVIGATION, key, 0);
        }
        Library().item_selected = false;
    }
    void Tap(HWND item, int x, int y) {
        SendMessageW(item, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
        SendMessageW(item, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // A file the shell can start.
    void Program(const std::string& device_path) {
        std::filesystem::path host = device_.HostPath(device_path);
        std::filesystem::create_directories(host.parent_path());
        std::ofstream(host) << "program";
    }
};

TEST_F(ItemAtWork, TickerShowsTheViewsHeadlinesInTurn) {
    HWND item = Start();
    ASSERT_EQ(Item().paint.links.size(), 1u);
    EXPECT_EQ(Item().paint.links[0].url, u"http://example.com/1/1");
    Advance(3000);
    EXPECT_TRUE(Drawn(DrawnTexts(item), u"Feed 1 item 2|About 1/2"));
    std::optional<device::ItemState> reported = device::ReportedItemState(item);
    ASSERT_TRUE(reported);
    EXPECT_EQ(std::tuple(reported->current_view_id, reported->current_item_index, reported->display_mode),
              std::tuple(3, 1, device::ItemDisplayMode::kTicker));

    Key(item, VK_RETURN);  // expanded: the ticker stops
    Advance(5000);
    EXPECT_TRUE(Drawn(DrawnTexts(item), u"Feed 1 item 2"));
    Key(item, VK_DOWN);
    EXPECT_TRUE(Drawn(DrawnTexts(item), u"Feed 1 item 3"));
}

TEST_F(ItemAtWork, ListRowsFollowKeysTapsAndDetails) {
    AppSettings().WriteDword(u"Today", u"ListMode", 1);
    HWND item = Start();
    std::u16string texts = DrawnTexts(item);
    EXPECT_TRUE(Drawn(texts, u"\u00B0 Feed 1 item 1|\u00B0 Feed 1 item 2"))
        << std::string(texts.begin(), texts.end());
    int pitch = Item().paint.row_height;
    ASSERT_GT(pitch, 0);
    EXPECT_EQ(Item().paint.position.rows_per_page, (75 - 4) / pitch);

    Key(item, VK_DOWN);
    Key(item, VK_DOWN);
    EXPECT_EQ(Item().paint.position.selected, 2);
    Key(item, VK_RETURN);
    EXPECT_TRUE(Item().details_shown);
    EXPECT_TRUE(Drawn(DrawnTexts(item), u"Feed 1 item 3|About 1/3"));
    Key(item, VK_DOWN);  // the details step through the listing
    EXPECT_TRUE(Drawn(DrawnTexts(item), u"Feed 2 item 1"));
    Tap(item, 5, 70);  // back button
    EXPECT_EQ(std::pair(Item().details_shown, Item().paint.position.selected), std::pair(false, 3));

    Tap(item, 100, 2 + pitch + 1);  // the second row of the page
    EXPECT_TRUE(Item().details_shown);
    EXPECT_EQ(Item().current_item_index, Item().paint.position.first_visible + 1);
}

TEST_F(ItemAtWork, FeedListExpandsOneFeedAtATime) {
    AppSettings().WriteDword(u"Today", u"FeedList", 1);
    HWND item = Start(3, 2);
    EXPECT_TRUE(Item().list_mode) << "the feed list implies list mode";
    EXPECT_EQ(DrawnTexts(item), u"+ Feed 1|+ Feed 2|+ Feed 3");
    int pitch = Item().paint.row_height;
    Tap(item, 100, 2 + pitch + 1);
    EXPECT_EQ(DrawnTexts(item), u"+ Feed 1|- Feed 2|\u00B0 Feed 2 item 1|\u00B0 Feed 2 item 2|+ Feed 3");
    Tap(item, 100, 3);
    EXPECT_EQ(Item().paint.position.selected, 0);
    EXPECT_TRUE(Drawn(DrawnTexts(item), u"- Feed 1|\u00B0 Feed 1 item 1|\u00B0 Feed 1 item 2|+ Feed 2"));
    EXPECT_EQ(device::ReportedItemState(item)->display_mode, device::ItemDisplayMode::kFeedList);
}

TEST_F(ItemAtWork, MenusAndTheirCommands) {
    HWND item = Start();
    std::vector<device::MenuEntryInfo> shown;
    device::SetMenuHook([&](HMENU) {
        shown = device::TrackedMenu()->entries;
        EndMenu();
    });
    Tap(item, 5, 5);
    device::SetMenuHook({});
    // The entries themselves are MainMenuEntries' (tested whole); here the item's view and font.
    ASSERT_EQ(shown.size(), 14u);
    EXPECT_TRUE(shown[0].owner_drawn);
    EXPECT_TRUE(shown[2].submenu.at(2).checked);  // Tech
    EXPECT_TRUE(shown[4].submenu.at(2).checked);  // normal

    SendMessageW(item, WM_COMMAND, kCmdFontSmallest + 4, 0);
    EXPECT_EQ(AppSettings().ReadString(u"Today", u"FontSize", u""), u"largest");
    EXPECT_EQ(Item().main_menu, nullptr) << "every command deletes the menus first";

    SendMessageW(item, WM_COMMAND, kCmdFirstView + 2, 0);  // "Whats New"
    EXPECT_EQ(Setting(u"Today", u"CurrentViewID"), 1);
    EXPECT_EQ(Item().current_view_name, u"Whats New");
    SendMessageW(item, WM_COMMAND, kCmdFeedList, 0);
    EXPECT_EQ(std::pair(Setting(u"Today", u"FeedList"), Setting(u"Today", u"ListMode")),
              std::pair(std::optional<LONG>(1), std::optional<LONG>(1)));
    SendMessageW(item, WM_COMMAND, kCmdListMode, 0);
    EXPECT_EQ(Setting(u"Today", u"ListMode"), 0);
    EXPECT_EQ(Setting(u"Today", u"FeedList"), 1) << "list mode off leaves the feed list setting";
    EXPECT_TRUE(Item().rows.empty());
}

TEST_F(ItemAtWork, WebLinkOpensTheLinkOrTheStoredPage) {
    Program("Windows/iexplore.exe");
    Program("Apps/browser.exe");
    HWND item = Start();
    Library().install_folder = u"\\Apps";
    Tap(item, 25, 5);
    // How many launches there were, and the last one.
    auto last = [] {
        std::vector<device::Launch> all = device::Launches();
        return all.empty() ? u"0"
                           : char16_t(u'0' + all.size()) + (u" " + all.back().verb + u" " + all.back().file +
                                                            u" " + all.back().parameters);
    };
    EXPECT_EQ(last(), u"1 open \\Windows\\iexplore.exe http://example.com/1/1");

    Sql(u"Insert Into FeedItemLongData(FeedItemID,FeedID,LinkOrder,Keep,TextData) "
        u"Values(102,1,1,0,'<p>Full</p>')");
    Item().web_link_mode = 2;
    AppSettings().WriteString(u"General", u"Browser", u"\\Apps\\browser.exe");
    Tap(item, 25, 5);
    EXPECT_EQ(last(), u"2 open \\Apps\\browser.exe \\Apps\\extendedTemp.htm");
    std::ifstream page(device_.HostPath("Apps/extendedTemp.htm"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(page), {}), "<p>Full</p>");

    AppSettings().WriteString(u"General", u"Browser", u"\\Missing\\browser.exe");
    Item().web_link_mode = 1;
    Tap(item, 25, 5);
    EXPECT_EQ(last(), u"3 open \\Windows\\iexplore.exe http://example.com/1/1")
        << "a missing browser falls back";

    ShowTabSettings();
    EXPECT_EQ(device::Launches().size(), 3u) << "no main application on this device";
    Program("Apps/Quillfeed.exe");
    ShowTabSettings();
    EXPECT_EQ(last(), u"4 open \\Apps\\Quillfeed.exe -t");
    EXPECT_EQ(Setting(u"General", u"StartMode"), 1);
}

TEST_F(ItemAtWork, WarningsAndAnOldDatabaseReplaceTheList) {
    device::Profile low = device::CurrentProfile();
    low.avail_phys_bytes = 512 * 1024;
    device::OverrideProfile(low);
    AppSettings().WriteDword(u"Warning", u"MaxDatabase", 0);
    HWND item = Start();
    device::OverrideProfile(std::nullopt);
    EXPECT_EQ(
        std::pair(Item().database_unusable, DrawnTexts(item)),
        std::pair(true, std::u16string(
                            u"Quillfeed Warnings - see Help\n- Less than 1 MB of RAM is available.\n\n")));

    Sql(u"Update VersionInfo Set VersionNumber = '1.0'");
    AppSettings().WriteDword(u"Today", u"TodayHasChanged", 1);
    Advance(4000);  // the reload, then the ticker's next rotation repaints
    EXPECT_EQ(DrawnTexts(item),
              u"Database needs to be upgraded.  Please use the main Quillfeed application to "
              u"update the database.");
}

TEST_F(ItemAtWork, ReleasingTheDatabaseClosesItsConnection) {
    HWND item = Start();
    ASSERT_TRUE(Listing().database().connected());
    EXPECT_EQ(SendMessageW(item, 0x041E, 0, 0), 2);
    EXPECT_FALSE(Listing().database().connected());
    SendMessageW(item, WM_COMMAND, kCmdFirstView + 1, 0);
    EXPECT_FALSE(Listing().listing().empty()) << "the next operation reconnects";
}

// "Reload Feed Data" runs the download thread against a loopback server; each status message it sends
// leaves its text on the item, and the run's end brings the new headline into the ticker.
TEST_F(ItemAtWork, ReloadShowsEachStepOfTheRunThenTheNewHeadline) {
    qf::test::FeedServer server;
    server.Serve("/1",
                 "<rss version=\"2.0\"><channel><title>Feed 1</title><item><title>Fresh story</title>"
                 "<guid>fresh</guid></item></channel></rss>");
    server.Serve("/2", "<rss version=\"2.0\"><channel><title>Feed 2</title></channel></rss>");
    HWND item = Start(2, 1);
    for (int feed : {1, 2}) {
        std::string url = server.Url("/" + std::to_string(feed));
        Sql(u"Update Feeds Set FeedUrl='" + std::u16string(url.begin(), url.end()) + u"' Where FeedID=" +
            char16_t(u'0' + feed));
    }
    std::vector<std::u16string> texts;
    MessageRecorder recorder(item);
    recorder.set_after([&](UINT message, WPARAM) {
        if (message == kDownloadStatusMessage) texts.push_back(Item().status_text);
    });
    SendMessageW(item, WM_COMMAND, kCmdReload, 0);
    {
        qf::test::Watchdog watchdog(std::chrono::seconds(60), "the item's download run");
        while (texts.empty() || texts.back() != u"Downloading Complete") {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(10);
        }
        while (Item().downloader->busy()) Sleep(5);
    }
    std::vector<std::u16string> expected = {
        u"Starting Background Downloading...",    u"Downloading Data (1 of 2)... \nFeed 1",
        u"Processing Data (1 of 2)... \nFeed 1",  u"Processing Data (1 of 2)... \nFeed 1",
        u"Downloading Data (2 of 2)... \nFeed 2", u"Processing Data (2 of 2)... \nFeed 2",
        u"Processing Data (2 of 2)... \nFeed 2",  u"Downloading Complete"};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(std::pair(Item().downloading, TimerRuns(item, kHeartbeatTimer)), std::pair(false, true));
    Advance(4000);  // three ticks of the end text, then the rebuilt listing
    EXPECT_TRUE(Drawn(DrawnTexts(item), u"Fresh story"))
        << std::string(DrawnTexts(item).begin(), DrawnTexts(item).end());
}

}  // namespace
}  // namespace qf::host::test
