// Speed of the feed database: the row-at-a-time item inserts of a feed update, building a view listing in
// a database of 10,000 items, and compacting that database.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "db/listing_model.h"
#include "parse/dates.h"
#include "qfdevice/device.h"
#include "shared/adoclass31.h"

namespace {

constexpr char16_t kPath[] = u"\\bench.cdb";
constexpr int kFeeds = 20;
constexpr int kListedView = 10;

// A device root of its own for the whole run.
class BenchDevice {
  public:
    BenchDevice() {
        root_ = std::filesystem::temp_directory_path() / ("qf-db-bench-" + std::to_string(getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        qf::device::SetDeviceRoot(root_);
    }
    ~BenchDevice() { std::filesystem::remove_all(root_); }

  private:
    std::filesystem::path root_;
};

std::u16string Number(long long value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// A fresh database with 20 feeds in one view (75 to show) and `items` items, each with a description.
void MakeDatabase(int items) {
    std::filesystem::remove(*qf::device::MapPath(kPath));
    qf::FeedDatabase database;
    database.Create(kPath, qf::OverwritePrompt::kOverwriteSilently, qf::DefaultViews::kCreate);
    qf::AdoConnection connection;
    connection.Open(kPath);
    connection.BeginTrans();
    connection.Execute(
        u"Insert Into Views(ViewID,ParentID,Label,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,"
        u"SortBy,Status,Keywords,DateEntered) Values(10,0,'Bench',5,0,75,0,1,2,2,'','01/01/2006 00:00')");
    for (int feed = 1; feed <= kFeeds; ++feed) {
        connection.Execute(u"Insert Into Feeds(FeedID,Title,Priority,Status,MaxItems,LastFeedDate) Values(" +
                           Number(feed) + u",'Feed " + Number(feed) + u"',1,2,50,'01/01/2006 00:00')");
        connection.Execute(u"Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(10," + Number(feed) +
                           u",0)");
    }
    qf::AdoRecordset rows;
    rows.Open(
        u"Select FeedItemID,FeedID,GUID,Title,LinkUrl,LinkUrl2,Status,ItemDate,DateEntered from FeedItems "
        u"Where FeedItemID = 0",
        &connection, qf::adOpenDynamic, qf::adLockPessimistic);
    qf::AdoRecordset texts;
    texts.Open(
        u"Select FeedItemID,FeedID,LinkOrder,Keep,TextData from FeedItemShortData Where FeedItemID = 0",
        &connection, qf::adOpenDynamic, qf::adLockPessimistic);
    std::u16string description(300, u'd');
    for (int i = 1; i <= items; ++i) {
        int feed = 1 + i % kFeeds;
        rows.AddNew();
        rows.Field(0).SetInt(i);
        rows.Field(1).SetInt(feed);
        rows.Field(2).SetString(u"http://example.com/item/" + Number(i));
        rows.Field(3).SetString(u"Headline number " + Number(i));
        rows.Field(4).SetString(u"http://example.com/item/" + Number(i));
        rows.Field(5).SetString(u"");
        rows.Field(6).SetShort(static_cast<std::int16_t>(i % 3 == 0 ? 2 : 1));
        rows.Field(7).SetDate(
            SYSTEMTIME{2006, 1, 0, static_cast<WORD>(1 + i % 28), 0, static_cast<WORD>(i % 60), 0, 0});
        rows.Field(8).SetDate(SYSTEMTIME{2006, 2, 0, 1, 0, 0, 0, 0});
        rows.Update();
        texts.AddNew();
        texts.Field(0).SetInt(i);
        texts.Field(1).SetInt(feed);
        texts.Field(2).SetShort(1);
        texts.Field(3).SetShort(0);
        texts.Field(4).SetString(description);
        texts.Update();
    }
    rows.Close();
    texts.Close();
    connection.CommitTrans();
}

// What a feed update does for each new item: look it up by GUID and title in a recordset opened for
// change, add it to that recordset, and write it; no transaction. Argument: 0 the chosen journal
// (write-ahead log, NORMAL), 1 rollback journal with NORMAL syncs, 2 rollback journal without syncs.
void BM_FeedUpdateItemInserts(benchmark::State& state) {
    BenchDevice device;
    MakeDatabase(0);
    qf::AdoConnection connection;
    connection.Open(kPath);
    if (state.range(0) == 1) connection.Execute(u"PRAGMA journal_mode=DELETE");
    if (state.range(0) == 2) {
        connection.Execute(u"PRAGMA journal_mode=DELETE");
        connection.Execute(u"PRAGMA synchronous=OFF");
    }
    int id = 100000;
    for (auto _ : state) {
        ++id;
        std::u16string guid = u"http://example.com/item/" + Number(id);
        std::u16string title = u"Headline number " + Number(id);
        qf::AdoRecordset rows;
        rows.Open(
            u"Select FeedItemID,FeedID,GUID,Title,LinkUrl,LinkUrl2,Status,ItemDate,DateEntered from "
            u"FeedItems "
            u"Where FeedID = 1 AND GUID = '" +
                guid + u"' AND Title = '" + title + u"'",
            &connection, qf::adOpenDynamic, qf::adLockPessimistic);
        rows.AddNew();
        rows.Field(0).SetInt(id);
        rows.Field(1).SetInt(1);
        rows.Field(2).SetString(guid);
        rows.Field(3).SetString(title);
        rows.Field(4).SetString(guid);
        rows.Field(5).SetString(u"");
        rows.Field(6).SetShort(1);
        rows.Field(7).SetDate(SYSTEMTIME{2006, 1, 0, 2, 10, 0, 0, 0});
        rows.Field(8).SetDate(SYSTEMTIME{2006, 1, 0, 2, 10, 0, 0, 0});
        rows.Update();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FeedUpdateItemInserts)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_BuildViewListing(benchmark::State& state) {
    BenchDevice device;
    MakeDatabase(10000);
    qf::ListingModel model;
    model.database().Open(kPath, qf::MissingMessage::kHide);
    for (auto _ : state) {
        bool built = model.BuildViewListing(kListedView, true);
        benchmark::DoNotOptimize(built);
    }
    // 75 to show over 20 feeds gives each feed a quota of 3, so the listing holds 60 rows.
    state.counters["rows"] = static_cast<double>(model.listing().size());
}
BENCHMARK(BM_BuildViewListing)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Compact(benchmark::State& state) {
    BenchDevice device;
    MakeDatabase(10000);
    qf::FeedDatabase database;
    database.Open(kPath, qf::MissingMessage::kHide);
    for (auto _ : state) {
        bool compacted = database.Compact();
        if (!compacted) state.SkipWithError("compaction failed");
    }
    state.counters["items"] = static_cast<double>(database.CountFeedItems(1, qf::ItemCount::kAll) * kFeeds);
}
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
