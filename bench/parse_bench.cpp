// The feed reader against pugixml on synthetic RSS 2.0 files of 1, 10 and 50 MB and on a hostile 5 MB
// file whose descriptions are full of unclosed <br> tags. The files are generated at start (the same
// shapes as the corpus generators make) into a temporary folder and reused by later runs.
//
//   parse_bench [--benchmark_filter=...]     bytes_per_second is the MB/s figure (file bytes per CPU
//                                            second); peak_rss_mb is the process's peak so far (run one
//                                            benchmark alone to read it).
// ours_reader builds the tree from decoded text (Parse, which copies the text into the document first),
// ours_document decodes and builds as LoadFile does (without reading a file), ours_feed is the whole
// ParseFeed with its copies of every item's texts; pugixml builds its DOM from the bytes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

#ifdef QF_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

#include "parse/feed_document.h"
#include "parse/feed_parser.h"

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 7> kDays{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// Includes non-ASCII words, so that decoding has real work to do.
constexpr std::array<const char*, 23> kWords{"feed",
                                             "parser",
                                             "item",
                                             "channel",
                                             "update",
                                             "rss",
                                             "atom",
                                             "caf\xC3\xA9",
                                             "na\xC3\xAFve",
                                             "r\xC3\xA9sum\xC3\xA9",
                                             "stra\xC3\x9F"
                                             "e",
                                             "\xE6\xBC\xA2\xE5\xAD\x97",
                                             "news",
                                             "story",
                                             "report",
                                             "market",
                                             "weather",
                                             "sport",
                                             "science",
                                             "release",
                                             "version",
                                             "update",
                                             "feed"};

std::string Header(const char* title) {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\" "
               "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
               "xmlns:content=\"http://purl.org/rss/1.0/modules/content/\">\n<channel>\n<title>") +
           title +
           "</title>\n<link>http://example.com/</link>\n<description>Synthetic benchmark feed</description>\n"
           "<language>en</language>\n";
}

constexpr const char* kFooter = "</channel>\n</rss>\n";

std::string Date(int hours) {
    // Hours after 2024-01-01 on a calendar of 28-day months: realistic text, not a real calendar.
    char buffer[64];
    const int day = hours / 24;
    std::snprintf(buffer, sizeof buffer, "%s, %02d %s %d %02d:%02d:00 +0000", kDays[day % 7], day % 28 + 1,
                  kMonths[day / 28 % 12], 2024 + day / 336, hours % 24, hours * 7 % 60);
    return buffer;
}

std::string Sentence(std::mt19937& random, int words) {
    std::string text;
    for (int i = 0; i < words; ++i) text += std::string(i ? " " : "") + kWords[random() % kWords.size()];
    return text;
}

std::string Escape(const std::string& html) {
    std::string escaped;
    for (char c : html) {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else
            escaped += c;
    }
    return escaped;
}

// A well-formed feed: escaped HTML descriptions, every third one in CDATA, entities in the titles.
std::string NormalFeed(size_t target_bytes) {
    std::mt19937 random(1);
    std::string feed = Header("Synthetic &amp; Benchmark feed");
    for (int i = 1; feed.size() < target_bytes; ++i) {
        const std::string body = "<p>" + Sentence(random, 25) + " <a href=\"http://example.com/a/" +
                                 std::to_string(i) + "?x=1&amp;y=2\">link</a> <b>" + Sentence(random, 3) +
                                 "</b></p><p>" + Sentence(random, 40) + "</p>";
        const std::string description = i % 3 == 0 ? "<description><![CDATA[" + body + "]]></description>"
                                                   : "<description>" + Escape(body) + "</description>";
        feed += "<item>\n<title>Item " + std::to_string(i) + ": " + Sentence(random, 6) +
                " &amp; &quot;more&quot; &#8211; &#x2019;s</title>\n<link>http://example.com/item/" +
                std::to_string(i) +
                "</link>\n<guid isPermaLink=\"false\">urn:synthetic:1:" + std::to_string(i) +
                "</guid>\n<pubDate>" + Date(i) + "</pubDate>\n<dc:creator>Author " + std::to_string(i % 17) +
                "</dc:creator>\n<category>cat" + std::to_string(i % 9) + "</category>\n" + description +
                "\n</item>\n";
    }
    return feed + kFooter;
}

// Malformed: each description holds 20,000 raw, never-closed <br> tags.
std::string BrSpamFeed(size_t target_bytes) {
    std::string feed = Header("Adversarial br feed");
    for (int i = 1; feed.size() < target_bytes; ++i) {
        std::string description = "<description>";
        for (int k = 0; k < 20000; ++k) description += "line " + std::to_string(k) + "<br>";
        feed += "<item>\n<title>Item " + std::to_string(i) + "</title>\n<link>http://example.com/item/" +
                std::to_string(i) + "</link>\n<guid>urn:br:" + std::to_string(i) + "</guid>\n<pubDate>" +
                Date(i) + "</pubDate>\n" + description + "</description>\n</item>\n";
    }
    return feed + kFooter;
}

// The file's bytes, generated into the temporary folder on first use.
const std::string& FeedBytes(const std::string& name) {
    static std::map<std::string, std::string> cache;
    if (auto found = cache.find(name); found != cache.end()) return found->second;
    const fs::path folder = fs::temp_directory_path() / "quillfeed-bench";
    fs::create_directories(folder);
    const fs::path path = folder / (name + ".xml");
    if (!fs::exists(path)) {
        const std::string bytes = name == "br_5MB"     ? BrSpamFeed(5'000'000)
                                  : name == "rss_1MB"  ? NormalFeed(1'000'000)
                                  : name == "rss_10MB" ? NormalFeed(10'000'000)
                                                       : NormalFeed(50'000'000);
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::ifstream in(path, std::ios::binary);
    return cache[name] = std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Report(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The reader alone: building the tree from text decoded beforehand.
void BM_Ours_Reader(benchmark::State& state, const std::string& name) {
    const std::string& bytes = FeedBytes(name);
    const std::u16string text = qf::DecodeFileText(bytes);
    for (auto _ : state) {
        state.PauseTiming();
        std::u16string copy = text;
        qf::FeedDocument document;
        state.ResumeTiming();
        benchmark::DoNotOptimize(document.Parse(std::move(copy)));
    }
    Report(state, bytes.size());
}

// Decoding and building the tree, as LoadFile does after reading the file.
void BM_Ours_Document(benchmark::State& state, const std::string& name) {
    const std::string& bytes = FeedBytes(name);
    for (auto _ : state) {
        qf::FeedDocument document;
        benchmark::DoNotOptimize(document.LoadBytes(bytes));
    }
    Report(state, bytes.size());
}

// The whole ParseFeed: document plus format detection and item mapping.
void BM_Ours_Feed(benchmark::State& state, const std::string& name) {
    const std::string& bytes = FeedBytes(name);
    for (auto _ : state) {
        qf::ParsedFeed feed;
        benchmark::DoNotOptimize(qf::ParseFeedBytes(feed, bytes, u"bench.xml", qf::NoCustomMapping));
    }
    Report(state, bytes.size());
}

#ifdef QF_HAVE_PUGIXML
// pugixml's DOM from a copy of the buffer (it stops at the first error, so on the malformed file it
// does less work than we do).
void BM_Pugixml(benchmark::State& state, const std::string& name) {
    const std::string& bytes = FeedBytes(name);
    for (auto _ : state) {
        pugi::xml_document document;
        benchmark::DoNotOptimize(document.load_buffer(bytes.data(), bytes.size()));
    }
    Report(state, bytes.size());
}
#endif

int RegisterAll() {
    for (const char* name : {"rss_1MB", "rss_10MB", "rss_50MB", "br_5MB"}) {
        benchmark::RegisterBenchmark((std::string("ours_reader/") + name).c_str(), BM_Ours_Reader, name)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("ours_document/") + name).c_str(), BM_Ours_Document, name)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("ours_feed/") + name).c_str(), BM_Ours_Feed, name)
            ->Unit(benchmark::kMillisecond);
#ifdef QF_HAVE_PUGIXML
        benchmark::RegisterBenchmark((std::string("pugixml/") + name).c_str(), BM_Pugixml, name)
            ->Unit(benchmark::kMillisecond);
#endif
    }
    return 0;
}

const int kRegistered = RegisterAll();

}  // namespace

BENCHMARK_MAIN();
