// Speed of the download run's parts: the feed update of a 200-item feed (first load, and the same file
// again, which the digest answers), and fetching a 400 KB feed from a loopback server through WinINet.
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "common/system_info.h"
#include "db/feed_database.h"
#include "download/feed_update.h"
#include "download/fetch.h"
#include "qfdevice/device.h"

namespace {

constexpr char16_t kDatabase[] = u"\\bench.cdb";
constexpr char16_t kFeedFile[] = u"\\feed.xml";
constexpr int kItems = 200;

// The feeds of the comparison with newsboat: 200 items with about 2,000-character descriptions.
std::string BenchFeed(int feed) {
    const char* words[] = {"feed", "reader", "device", "headline", "morning", "network", "update", "story"};
    std::string text =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"2.0\"><channel><title>Bench feed " +
        std::to_string(feed) + "</title><link>http://example.com/</link>";
    for (int i = 0; i < kItems; ++i) {
        std::string description;
        for (int k = 0; description.size() < 2000; ++k) description += std::string(words[(i + k) % 8]) + " ";
        text += "<item><title>Story " + std::to_string(i) + "</title><link>http://example.com/" +
                std::to_string(i) + "</link><guid>urn:bench:" + std::to_string(feed) + ":" +
                std::to_string(i) + "</guid><pubDate>Mon, 01 Jan 2024 10:00:00 GMT</pubDate><description>" +
                description.substr(0, 2000) + "</description></item>";
    }
    return text + "</channel></rss>";
}

class BenchDevice {
  public:
    BenchDevice()
        : root_(std::filesystem::temp_directory_path() / ("qf-download-bench-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        qf::device::SetDeviceRoot(root_);
        database_.Create(kDatabase, qf::OverwritePrompt::kOverwriteSilently, qf::DefaultViews::kCreate);
        database_.Open(kDatabase, qf::MissingMessage::kHide);
        std::ofstream(root_ / "feed.xml", std::ios::binary) << BenchFeed(1);
    }
    ~BenchDevice() {
        database_.Reset();
        std::filesystem::remove_all(root_);
    }
    // A new feed that keeps all 200 items.
    std::int32_t AddFeed() {
        qf::FeedRecord feed = qf::NewFeedRecord();
        feed.feed_id = ++next_feed_;
        feed.max_items = kItems;
        database_.AddFeed(feed, 0, 0);
        return feed.feed_id;
    }
    qf::FeedDatabase& database() { return database_; }
    const std::filesystem::path& root() const { return root_; }

  private:
    std::filesystem::path root_;
    qf::FeedDatabase database_;
    std::int32_t next_feed_ = 0;
};

void BM_FeedUpdateFirstLoad(benchmark::State& state) {
    BenchDevice device;
    for (auto _ : state) {
        std::int32_t feed = device.AddFeed();
        qf::UpdateFeed(device.database(), feed, kFeedFile, nullptr, qf::AutoPurge::kOff);
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_FeedUpdateFirstLoad)->Unit(benchmark::kMillisecond);

void BM_FeedUpdateUnchanged(benchmark::State& state) {
    BenchDevice device;
    std::int32_t feed = device.AddFeed();
    qf::UpdateFeed(device.database(), feed, kFeedFile, nullptr, qf::AutoPurge::kOff);
    for (auto _ : state) qf::UpdateFeed(device.database(), feed, kFeedFile, nullptr, qf::AutoPurge::kOff);
}
BENCHMARK(BM_FeedUpdateUnchanged)->Unit(benchmark::kMillisecond);

void BM_FetchLoopback(benchmark::State& state) {
    BenchDevice device;
    std::string body = BenchFeed(2);
    httplib::Server server;
    server.Get("/feed.xml", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "application/xml");
    });
    int port = server.bind_to_any_port("127.0.0.1");
    std::thread listener([&] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    qf::DetectPlatform();
    std::u16string url = qf::Utf8ToWide("http://127.0.0.1:" + std::to_string(port) + "/feed.xml");
    qf::BeginHandleReuse();
    for (auto _ : state) qf::Fetch(url, u"\\fetched.xml", qf::ProxyUse::kDirect, u"", qf::FollowRefresh::kNo);
    qf::EndHandleReuse();
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(body.size()));
    server.stop();
    listener.join();
}
BENCHMARK(BM_FetchLoopback)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
