// Fetch against a loopback server: every way a transfer ends, the meta refresh, the shared handle.
#include "download/fetch.h"

#include <gtest/gtest.h>
#include <win/wininet.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "common/system_info.h"
#include "qfdevice/network.h"
#include "support/feed_server.h"
#include "support/temp_device.h"
#include "support/watchdog.h"

namespace qf::test {
namespace {

constexpr char16_t kTarget[] = u"\\page.htm";

class FetchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DetectPlatform();
        SetFetchOptions(FetchOptions{1024, false});
        SetFetchCancel(false);
    }
    bool Get(const std::string& path, FollowRefresh follow = FollowRefresh::kNo) {
        return Fetch(Utf8ToWide(server_.Url(path)), kTarget, ProxyUse::kDirect, u"", follow, &report_);
    }
    std::optional<std::string> File() const {
        std::ifstream in(device_.HostPath("page.htm"), std::ios::binary);
        if (!in) return std::nullopt;
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    TempDevice device_;
    FeedServer server_;
    FetchReport report_;
};

std::string Refresh(const std::string& target) {
    return "<html><head><meta http-equiv=\"refresh\" content=\"0; url=" + target + "\"></head></html>";
}

TEST_F(FetchTest, TransfersEndAsTheServerAnswers) {
    std::string body(5000, 'x');
    server_.Serve("/ok", body);
    server_.Serve("/empty", "");
    server_.Set("/error", Route::Status(500, "oops"));
    server_.Set("/cut", Route::Cut(body, 2048));
    for (auto [from, to] :
         {std::pair("/hop1", "/hop2"), {"/hop2", "/hop3"}, {"/hop3", "/ok"}, {"/loop", "/loop"}})
        server_.Set(from, Route::Redirect(to));
    struct Case {
        std::string path;
        bool skip_headers;
        bool ok;
        FetchOutcome outcome;
        std::optional<std::string> file;
    } cases[] = {
        {"/ok", false, true, FetchOutcome::kOk, body},
        {"/empty", false, true, FetchOutcome::kOk, ""},
        {"/missing", false, false, FetchOutcome::kHttpStatus, std::nullopt},
        {"/missing", true, true, FetchOutcome::kOk, "<html><body>Not found</body></html>"},
        {"/error", false, false, FetchOutcome::kHttpStatus, std::nullopt},
        {"/cut", false, false, FetchOutcome::kReadFailed, std::nullopt},
        {"/hop1", false, true, FetchOutcome::kOk, body},
        {"/loop", false, false, FetchOutcome::kOpenFailed, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + (c.skip_headers ? " skipping headers" : ""));
        SetFetchOptions(FetchOptions{1024, c.skip_headers});
        EXPECT_EQ((std::tuple{Get(c.path), report_.outcome, File()}), std::tuple(c.ok, c.outcome, c.file));
    }
    EXPECT_EQ(server_.LastUserAgent(), "Mozilla/2.0 (compatible; MSIE 3.02; Windows CE; 240x320)");
}

TEST_F(FetchTest, RefusedConnectionAndUpperCaseHttps) {
    const int closed_port = FeedServer().port();  // the server closes at the end of the statement
    std::u16string refused = Utf8ToWide("http://127.0.0.1:" + std::to_string(closed_port) + "/x");
    EXPECT_FALSE(Fetch(refused, kTarget, ProxyUse::kDirect, u"", FollowRefresh::kNo, &report_));
    EXPECT_EQ(DescribeFetchFailure(report_), u"connection refused");

    // The secure test is made on a lower-case copy: an upper-case scheme asks for a secure transfer
    // (which a plain server cannot give).
    device::ClearRecentRequests();
    std::u16string upper = Utf8ToWide("HTTPS://127.0.0.1:" + std::to_string(server_.port()) + "/x");
    EXPECT_FALSE(Fetch(upper, kTarget, ProxyUse::kDirect, u"", FollowRefresh::kNo, &report_));
    std::vector<device::RequestRecord> requests = device::RecentRequests();
    ASSERT_FALSE(requests.empty());
    for (const auto& request : requests) EXPECT_NE(request.flags & INTERNET_FLAG_SECURE, 0u);
    // Windows CE 4 retries a failed open once on a direct handle.
    EXPECT_EQ(std::pair(requests.size(), requests.back().access_type),
              std::pair(size_t{2}, static_cast<DWORD>(INTERNET_OPEN_TYPE_DIRECT)));
}

TEST_F(FetchTest, MetaRefreshIsFollowedOneLevel) {
    std::string body = "<rss>the target</rss>";
    server_.Serve("/target.xml", body);
    server_.Serve("/absolute", Refresh("/target.xml"));
    server_.Serve("/dir/relative", Refresh("../target.xml"));
    server_.Serve("/twice", Refresh("/absolute"));
    server_.Serve("/unmarked", "<meta content=\"0; url=/target.xml\">");
    for (auto [path, file] : {std::pair("/absolute", body), std::pair("/dir/relative", body),
                              std::pair("/twice", Refresh("/target.xml")),
                              std::pair("/unmarked", std::string("<meta content=\"0; url=/target.xml\">"))}) {
        EXPECT_EQ((std::pair{Get(path, FollowRefresh::kYes), File()}), std::pair(true, std::optional(file)))
            << path;
    }
    EXPECT_EQ(server_.Hits("/target.xml"), 2);
}

TEST_F(FetchTest, AStallPastTheReceiveTimeOutFailsAndACancelStopsBetweenReads) {
    Watchdog watchdog(std::chrono::seconds(30), "a stalled fetch");
    SetFetchOptions(FetchOptions{1024, false, 300});
    server_.Set("/stall", Route::Stall(std::string(8192, 's'), 1000));
    EXPECT_EQ((std::tuple{Get("/stall"), DescribeFetchFailure(report_), File()}),
              std::tuple(false, std::u16string(u"time-out"), std::optional<std::string>()));

    // A cancel stops the transfer between reads.
    SetFetchOptions(FetchOptions{1024, false});
    server_.Set("/slow", Route::Trickle(std::string(100 * 1024, 'x'), std::chrono::milliseconds(20)));
    std::thread canceller([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        SetFetchCancel(true);
    });
    EXPECT_FALSE(Get("/slow"));
    canceller.join();
    EXPECT_EQ(std::pair(report_.outcome, File()),
              std::pair(FetchOutcome::kCancelled, std::optional<std::string>()));
    EXPECT_LT(report_.bytes, 100u * 1024);
}

TEST_F(FetchTest, ARunSharesOneHandleAndItsConnection) {
    server_.Serve("/a", "a");
    server_.Serve("/b", "b");
    BeginHandleReuse();
    EXPECT_EQ((std::vector{Get("/a"), Get("/b"), Get("/a")}), std::vector(3, true));
    EndHandleReuse();
    EXPECT_EQ(server_.Connections(), 1u);
    EXPECT_TRUE(device::RecentRequests().back().reused_handle);
}

}  // namespace
}  // namespace qf::test
