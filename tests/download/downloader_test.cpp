// Download runs driven from a window of the test thread, as the item window drives them: the messages of
// a run, entries added while it runs, the ways it ends early, its refusals and the audio-only run.
#include "download/downloader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/settings_store.h"
#include "common/system_info.h"
#include "download/download_fixture.h"
#include "qfdevice/network.h"
#include "support/feed_server.h"
#include "support/watchdog.h"

namespace qf::test {
namespace {

constexpr char16_t kClass[] = u"DownloaderTestWindow";

struct Message {
    WPARAM code;
    LPARAM value;
    bool operator==(const Message&) const = default;
};

class DownloaderTest;
DownloaderTest* current = nullptr;

class DownloaderTest : public DownloadTest {
  protected:
    void SetUp() override {
        DownloadTest::SetUp();
        DetectPlatform();
        SetFetchOptions(FetchOptions{1024, false});
        settings_.Open(u"Thornbeckvale", u"Quillfeed");
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = &DownloaderTest::WindowProc;
        window_class.lpszClassName = kClass;
        RegisterClassW(&window_class);
        window_ = CreateWindowExW(0, kClass, u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        downloader_ = std::make_unique<Downloader>(
            db_, DownloaderSetup{u"\\webData2.htm", u"\\rssAudio", AutoPurge::kOff});
        downloader_->set_notify_window(window_);
        current = this;
    }
    void TearDown() override {
        downloader_.reset();
        current = nullptr;
        DestroyWindow(window_);
        UnregisterClassW(kClass, nullptr);
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message != kDownloadStatusMessage || current == nullptr)
            return DefWindowProcW(window, message, wparam, lparam);
        current->messages_.push_back({wparam, lparam});
        if (wparam == kStatusFetchBegins) current->titles_.push_back(current->downloader_->current_title());
        if (current->on_message_) current->on_message_(Message{wparam, lparam});
        return 0;
    }

    // Starts the run and handles its messages until it ends; `during` runs every 20 ms meanwhile.
    void Run(std::function<void()> during = {}) {
        Watchdog watchdog(std::chrono::seconds(60), "a download run");
        ASSERT_EQ(downloader_->Start(), kStartStarted);
        while (messages_.empty() || messages_.back().code != kStatusRunEnded) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            if (during) during();
            Sleep(20);
        }
        while (downloader_->busy()) Sleep(5);
    }

    std::string Body(int items) {
        std::vector<FeedItemText> list;
        for (int i = 0; i < items; ++i) {
            list.push_back({"Item " + std::to_string(i), "g" + std::to_string(i), "",
                            server_.Url("/page" + std::to_string(i)), "", ""});
        }
        return Rss(list);
    }

    FeedServer server_;
    SettingsStore settings_;
    HWND window_ = nullptr;
    std::unique_ptr<Downloader> downloader_;
    std::vector<Message> messages_;
    std::vector<std::u16string> titles_;
    std::function<void(Message)> on_message_;
};

TEST_F(DownloaderTest, ARunWithOneFailedFeed) {
    server_.Serve("/a", Body(2));
    server_.Serve("/c", Body(1));
    for (const char* path : {"/a", "/missing", "/c"}) AddFeed(server_.Url(path));
    AddFeed(server_.Url("/listed-only"), 50, false, false, kFeedListOnly);
    ASSERT_TRUE(downloader_->BuildFeedList());
    Run();
    std::vector<Message> expected = {{3, 3}, {5, 0}, {7, 1}, {6, 1}, {5, 1},
                                     {6, 0}, {5, 2}, {7, 1}, {6, 1}, {4, 0}};
    EXPECT_EQ(messages_, expected);
    EXPECT_EQ(titles_, (std::vector<std::u16string>{u"Feed 101", u"Feed 102", u"Feed 103"}));
    EXPECT_EQ(server_.Hits("/listed-only"), 0);
    EXPECT_EQ(Count("select count(*) from FeedItems"), 3);
    std::vector<EntryReport> reports = downloader_->reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(std::pair(reports[1].fetch.http_status, reports[2].update.new_items), std::pair(404u, 1));
    EXPECT_EQ(settings_.ReadDword(u"AutoReload", u"BackgroundStatus", -1), kBackgroundIdle);
    EXPECT_NE(settings_.ReadString(u"AutoReload", u"BackgroundLastRefresh", u"0"), u"0");
    EXPECT_EQ(settings_.ReadString(u"AutoReload", u"LastRefreshDate", u"").size(), 16u);
}

TEST_F(DownloaderTest, ExtendedPagesJoinTheRun) {
    server_.Serve("/a", Body(2));
    server_.Serve("/page0", "<p>zero</p>");
    server_.Serve("/page1", "<p>one</p>");
    AddFeed(server_.Url("/a"), 50, true);
    ASSERT_TRUE(downloader_->BuildFeedList());
    Run();
    std::vector<Message> expected = {{3, 1}, {5, 0}, {7, 1}, {8, 2}, {8, 3}, {6, 1}, {5, 1},
                                     {7, 1}, {6, 1}, {5, 2}, {7, 1}, {6, 1}, {4, 0}};
    EXPECT_EQ(messages_, expected);
    EXPECT_EQ(Count("select count(*) from FeedItemLongData"), 2);
    EXPECT_EQ(titles_.back(), u"Extended Data (2) for: Feed 101");
}

TEST_F(DownloaderTest, CancelDuringAFetchEndsTheRun) {
    server_.Set("/slow",
                Route::Trickle(Body(1) + std::string(200 * 1024, ' '), std::chrono::milliseconds(10)));
    server_.Serve("/b", Body(1));
    AddFeed(server_.Url("/slow"));
    AddFeed(server_.Url("/b"));
    ASSERT_TRUE(downloader_->BuildFeedList());
    int ticks = 0;
    Run([&] {
        if (++ticks == 5) downloader_->Cancel(CancelForce::kNo);
    });
    std::vector<Message> expected = {{3, 2}, {5, 0}, {6, 0}, {4, 1}};
    EXPECT_EQ(messages_, expected);
    EXPECT_EQ(downloader_->reports()[0].fetch.outcome, FetchOutcome::kCancelled);
    EXPECT_EQ(server_.Hits("/b"), 0);
}

// A second cancel finishes the run at once, on the cancelling thread. (A cancel from another program is
// run by the refresh command's tests.)
TEST_F(DownloaderTest, ASecondCancelFinishesTheRunAtOnce) {
    server_.Set("/slow",
                Route::Trickle(Body(1) + std::string(200 * 1024, ' '), std::chrono::milliseconds(10)));
    AddFeed(server_.Url("/b"));
    ASSERT_TRUE(downloader_->BuildFeedList({AddFeed(server_.Url("/slow"))}));
    int ticks = 0;
    Run([&] {
        if (++ticks == 5) {
            downloader_->Cancel(CancelForce::kNo);
            downloader_->Cancel(CancelForce::kNo);
        }
    });
    EXPECT_EQ(messages_, (std::vector<Message>{{3, 1}, {5, 0}, {4, 1}}));
    EXPECT_EQ(settings_.ReadDword(u"AutoReload", u"BackgroundStatus", -1), kBackgroundIdle);
    EXPECT_FALSE(downloader_->busy());
}

TEST_F(DownloaderTest, RefusedStarts) {
    EXPECT_FALSE(downloader_->BuildFeedList());
    EXPECT_EQ(downloader_->Start(), kStartEmptyList);
    AddFeed(server_.Url("/a"));
    ASSERT_TRUE(downloader_->BuildFeedList());
    settings_.WriteDword(u"AutoReload", u"BackgroundStatus", kBackgroundRunning);
    EXPECT_EQ(downloader_->Start(), kStartRunningElsewhere);
    settings_.WriteDword(u"AutoReload", u"BackgroundStatus", kBackgroundIdle);
    device::NetworkState offline;
    offline.link = device::NetworkState::Link::kDown;
    ASSERT_TRUE(device::SaveNetworkState(offline));
    EXPECT_EQ(downloader_->Start(), kStartNoConnection);
    EXPECT_EQ(messages_, (std::vector<Message>{{9, 0}, {1, 0}, {10, 0}}));
    EXPECT_EQ(server_.Hits("/a"), 0);
}

TEST_F(DownloaderTest, ANetworkThatDropsEndsTheRun) {
    for (const char* path : {"/a", "/b", "/c"}) {
        server_.Serve(path, Body(1));
        AddFeed(server_.Url(path));
    }
    // Offline until asked, then connected after 1.5 s: the run brings up a connection of its own and
    // watches it; the link goes down after one request.
    device::NetworkState slow;
    slow.link = device::NetworkState::Link::kSlow, slow.connect_delay_ms = 1500, slow.drop_after_requests = 1;
    ASSERT_TRUE(device::SaveNetworkState(slow));
    settings_.WriteDword(u"Settings", u"UseAutoConnect", 1);
    ASSERT_TRUE(downloader_->BuildFeedList());
    Run();
    EXPECT_EQ(messages_.back(), (Message{4, kRunNetworkLost}));
    EXPECT_EQ(std::pair(server_.Hits("/a"), server_.Hits("/c")), std::pair(1, 0));
}

TEST_F(DownloaderTest, AudioOnlyRunWithinTheLimits) {
    std::int32_t feed = AddFeed(server_.Url("/a"), 50, false, true);
    auto pending = [&](int item, const std::string& name, long long size) {
        Execute(u"Insert Into FeedItemAudioData(FeedItemID,FeedID,Link,Size,Status,Keep) Values(" +
                Utf8ToWide(std::to_string(item) + "," + std::to_string(feed) + ",'" +
                           server_.Url("/" + name) + "'," + std::to_string(size)) +
                u",0,0)");
    };
    pending(1, "tiny.mp3", 500);
    pending(2, "three.mp3", 3145728);
    pending(3, "two.mp3", 2097152);
    pending(4, "liar.mp3", 4096);  // declares 4 KB, streams 3 MB
    server_.Serve("/two.mp3", std::string(2097152, 'a'));
    server_.Serve("/liar.mp3", std::string(3145728, 'b'));
    ASSERT_TRUE(downloader_->BuildAudioList());
    EXPECT_EQ(downloader_->entry_count(), 2);
    Run();
    std::filesystem::path folder = device_.HostPath("rssAudio/Feed 101");
    EXPECT_EQ(std::filesystem::file_size(folder / "two.mp3"), 2097152u);
    EXPECT_FALSE(std::filesystem::exists(folder / "liar.mp3"));
    EXPECT_EQ(Text("select group_concat(FeedItemID || ':' || Status, ' ') from "
                   "(select * from FeedItemAudioData order by FeedItemID)"),
              "1:0 2:0 3:1 4:0");
    EXPECT_EQ(downloader_->reports()[0].fetch.outcome, FetchOutcome::kTooLarge);
}

// A feed titled ".." whose enclosure is named like the database: joined as they stand, the run would
// write the enclosure over the database itself.
TEST_F(DownloaderTest, AudioOfAHostileFeedStaysInItsOwnFolder) {
    std::int32_t feed = AddFeed(server_.Url("/a"), 50, false, true);
    std::u16string number = Utf8ToWide(std::to_string(feed));
    Execute(u"Update Feeds Set Title = '..' Where FeedID = " + number);
    Execute(u"Insert Into FeedItemAudioData(FeedItemID,FeedID,Link,Size,Status,Keep) Values(1," + number +
            u",'" + Utf8ToWide(server_.Url("/db.cdb")) + u"',2048,0,0)");
    server_.Serve("/db.cdb", std::string(2048, 'c'));
    ASSERT_TRUE(downloader_->BuildAudioList());
    Run();
    EXPECT_EQ(std::filesystem::file_size(device_.HostPath("rssAudio/_/db.cdb")), 2048u);
    EXPECT_EQ(Text("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(Text("select Status from FeedItemAudioData"), "1");
}

}  // namespace
}  // namespace qf::test
