#include "bench_support.h"

#include <unistd.h>

#include "db/feed_database.h"
#include "qfdevice/device.h"
#include "shared/adoclass31.h"

namespace qf::bench {

namespace fs = std::filesystem;

BenchDevice::BenchDevice(const std::string& name)
    : root_(fs::temp_directory_path() / ("qf-" + name + "-" + std::to_string(::getpid()))) {
    fs::remove_all(root_);
    fs::create_directories(root_ / "Windows");
    for (const char* font : {"tahoma.ttf", "tahomabd.ttf"}) {
        fs::path source = fs::path("/usr/share/wine/fonts") / font;
        std::error_code ignored;
        if (fs::exists(source))
            fs::copy_file(source, root_ / "Windows" / font, fs::copy_options::overwrite_existing, ignored);
    }
    qf::device::SetDeviceRoot(root_);
}

BenchDevice::~BenchDevice() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::u16string Number(long long value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

void MakeBenchDatabase(const std::u16string& path, int items, int feeds, int view_id, int num_to_show) {
    std::error_code ignored;
    fs::remove(*qf::device::MapPath(path), ignored);
    FeedDatabase database;
    database.Create(path, OverwritePrompt::kOverwriteSilently, DefaultViews::kCreate);
    AdoConnection connection;
    connection.Open(path);
    connection.BeginTrans();
    connection.Execute(
        u"Insert Into Views(ViewID,ParentID,Label,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,"
        u"SortBy,Status,Keywords,DateEntered) Values(" +
        Number(view_id) + u",0,'Bench',5,0," + Number(num_to_show) + u",0,1,2,2,'','01/01/2006 00:00')");
    for (int feed = 1; feed <= feeds; ++feed) {
        connection.Execute(u"Insert Into Feeds(FeedID,Title,Priority,Status,MaxItems,LastFeedDate) Values(" +
                           Number(feed) + u",'Feed " + Number(feed) + u"',1,2,50,'01/01/2006 00:00')");
        connection.Execute(u"Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(" + Number(view_id) + u"," +
                           Number(feed) + u",0)");
    }
    AdoRecordset rows;
    rows.Open(
        u"Select FeedItemID,FeedID,GUID,Title,LinkUrl,LinkUrl2,Status,ItemDate,DateEntered from FeedItems "
        u"Where FeedItemID = 0",
        &connection, adOpenDynamic, adLockPessimistic);
    AdoRecordset texts;
    texts.Open(
        u"Select FeedItemID,FeedID,LinkOrder,Keep,TextData from FeedItemShortData Where FeedItemID = 0",
        &connection, adOpenDynamic, adLockPessimistic);
    std::u16string description(300, u'd');
    for (int i = 1; i <= items; ++i) {
        int feed = 1 + i % feeds;
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

}  // namespace qf::bench
