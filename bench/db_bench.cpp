// Speed of the feed database: the row-at-a-time item inserts of a feed update, building a view listing in
// a database of 10,000 items, and compacting that database.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "db/listing_model.h"
#include "shared/adoclass31.h"

namespace {

constexpr char16_t kPath[] = u"\\bench.cdb";
constexpr int kFeeds = 20;
constexpr int kListedView = 10;

using qf::bench::Number;

// A fresh database with 20 feeds in one view (75 to show) and `items` items, each with a description.
void MakeDatabase(int items) { qf::bench::MakeBenchDatabase(kPath, items, kFeeds, kListedView, 75); }

// What a feed update does for each new item: look it up by GUID and title in a recordset opened for
// change, add it to that recordset, and write it; no transaction. Argument: 0 the chosen journal
// (write-ahead log, NORMAL), 1 rollback journal with NORMAL syncs, 2 rollback journal without syncs.
void BM_FeedUpdateItemInserts(benchmark::State& state) {
    qf::bench::BenchDevice device("db-bench");
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
    qf::bench::BenchDevice device("db-bench");
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
    qf::bench::BenchDevice device("db-bench");
    MakeDatabase(10000);
    qf::FeedDatabase database;
    database.Open(kPath, qf::MissingMessage::kHide);
    for (auto _ : state) {
        bool compacted = database.Compact().ok();
        if (!compacted) state.SkipWithError("compaction failed");
    }
    state.counters["items"] =
        static_cast<double>(database.CountFeedItems(1, qf::ItemCount::kAll).value_or(-1) * kFeeds);
}
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
