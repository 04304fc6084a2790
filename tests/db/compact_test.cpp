#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/settings_store.h"
#include "common/system_info.h"
#include "db/default_database.h"
#include "db/schema.h"
#include "db_fixture.h"
#include "faulty_vfs.h"
#include "support/run_program.h"

namespace qf::test {
namespace {

class CompactTest : public DbTest {
  protected:
    // A database of `items` items over 20 feeds, with texts, audio rows, views and a subscription,
    // written straight through SQLite (the rows' origin does not matter here).
    void Seed(int items) {
        auto numbers = [](int count) {
            return "With Recursive n(i) As (Select 1 Union All Select i+1 From n Where i < " +
                   std::to_string(count) + ") ";
        };
        RawExecute(numbers(20) +
                   "Insert Into Feeds(FeedID,Title,Priority,Status,LastFeedDate) Select i,'Feed '||i,1,2,"
                   "'2006-01-01 00:00:00' From n");
        RawExecute("Insert Into ViewFeeds(ViewID,FeedID,Priority) Select 1,FeedID,0 From Feeds");
        RawExecute("Insert Into SubscriptionFeeds(SubscriptionID,FeedID) Select 5,FeedID From Feeds");
        RawExecute(
            "Insert Into Subscriptions(SubscriptionID,ViewID,Title,SubscriptionUrl,IsFromFile,DateEntered) "
            "Values(5,1,'Sub','http://example.com',0,'2006-01-01 00:00:00')");
        RawExecute(
            numbers(items) +
            "Insert Into FeedItems(FeedItemID,FeedID,GUID,Title,LinkUrl,LinkUrl2,Status,Keywords,ItemDate,"
            "DateEntered) Select 1000+i,1+i%20,'guid-'||i,'Item '||i,'http://example.com/'||i,'',1,'',"
            "datetime(1136133600+i*60,'unixepoch'),'2006-01-01 00:00:00' From n");
        RawExecute(
            "Insert Into FeedItemShortData(FeedItemID,FeedID,LinkOrder,Keep,TextData) Select FeedItemID,"
            "FeedID,1,0,'Description of '||Title From FeedItems");
        RawExecute(
            "Insert Into ViewFeedItems Select 1,FeedID,FeedItemID,0 From FeedItems Where FeedItemID % 7 = 0");
        RawExecute("Insert Into FeedItemAudioData Values(1007,8,'a.mp3',4096,1,0)");
    }

    // Every row of every copied table, in row order.
    std::string Dump() {
        std::string dump;
        for (const char16_t* table : schema::kCopiedTables) {
            dump += WideToUtf8(table) + ":" +
                    Text("Select group_concat(r, ';') From (Select quote(" + Columns(table) + ") r From " +
                         WideToUtf8(table) + " Order By rowid)") +
                    "\n";
        }
        return dump;
    }
    std::string Columns(const char16_t* table) {
        return Text("Select group_concat(name, ')||quote(') From pragma_table_info('" + WideToUtf8(table) +
                    "')");
    }
    bool Exists(const std::string& relative) { return std::filesystem::exists(device_.HostPath(relative)); }
};

TEST_F(CompactTest, KeepsEveryRowOfTenThousandItems) {
    std::string empty = Dump();
    ASSERT_TRUE(db_.Compact());
    EXPECT_EQ(Dump(), empty) << "a database without subscriptions or items compacts too";
    Seed(10000);
    std::string before = Dump();
    ASSERT_EQ(Count("Select count(*) From FeedItems"), 10000);
    ASSERT_TRUE(db_.Compact());
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(Text("PRAGMA integrity_check"), "ok");
    EXPECT_FALSE(Exists("rss1029102Temp.qfdb") || Exists("db.cdb.qfaside"));
    EXPECT_EQ(std::pair(db_.connected(), db_.ready()), std::pair(false, true));
    EXPECT_EQ(*db_.CountFeedItems(3, ItemCount::kAll), 500) << "connects again on demand";
    EXPECT_EQ(*db_.Version(), u"2.0");
}

TEST_F(CompactTest, RefusesWhileAnotherConnectionHoldsTheFile) {
    Seed(10);
    AdoConnection other;
    ASSERT_EQ(other.Open(kPath), 0);
    EXPECT_FALSE(db_.Compact());
    EXPECT_FALSE(Exists("rss1029102Temp.qfdb"));
    other.Close();
    EXPECT_TRUE(db_.Compact());
}

// The last connection of any program folds the log into the file and removes it, so each program's hold
// on the file must last as long as its connection: a size check (the item's warnings make one before every
// download) must not drop it, or another program's close pulls the log away under this one's writes.
TEST_F(CompactTest, ASizeCheckKeepsThisProgramsHoldOnTheFile) {
    Seed(10);
    ASSERT_EQ(*db_.Version(), u"2.0");  // the connection is open and has read
    ASSERT_GT(FileSizeKb(kPath), 0);
    ProgramResult other = RunProgram({"/usr/bin/sqlite3", HostPath(), "Select count(*) From Feeds;"});
    ASSERT_EQ(other.out, "20\n") << other.err;
    EXPECT_TRUE(Exists("db.cdb-wal"));
}

TEST_F(CompactTest, AFailedCopyLeavesTheDatabaseAsItWas) {
    Seed(200);
    std::string before = Dump();
    {
        ScopedFileFault fault(FileFault::kFailWrite, "rss1029102Temp", 20);
        EXPECT_FALSE(db_.Compact());
    }
    EXPECT_FALSE(Exists("rss1029102Temp.qfdb"));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(db_.locked());
    EXPECT_TRUE(db_.Compact());
    EXPECT_EQ(Dump(), before);
}

// Runs a compaction in a child process that dies where `fault` says; answers the child's exit code.
int CompactInChild(FileFault fault, const std::string& name_part, int after) {
    pid_t child = fork();
    if (child == 0) {
        InstallFaultyVfs();
        ArmFileFault(fault, name_part, after);
        FeedDatabase database;
        if (database.Open(DbTest::kPath, MissingMessage::kHide) != OpenResult::kReady) _exit(3);
        _exit(database.Compact() ? 0 : 4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(CompactTest, AKilledCompactionNeverLosesTheDatabase) {
    Seed(300);
    std::string before = Dump();
    struct KillPoint {
        FileFault fault;
        const char* file;
        int after;
    };
    std::vector<KillPoint> points;
    for (int after : {0, 3, 30, 300}) points.push_back({FileFault::kExitOnWrite, "rss1029102Temp", after});
    // Closes of the new file and its log: the first ones while it is made, the last after the copy.
    for (int after = 0; after < 12; ++after)
        points.push_back({FileFault::kExitOnClose, "rss1029102Temp", after});
    // The database's own connection closes between the copy and the exchange of the files.
    points.push_back({FileFault::kExitOnClose, "db.cdb", 0});
    bool killed_after_copy = false;
    for (const KillPoint& point : points) {
        SCOPED_TRACE(::testing::Message()
                     << point.file << " " << static_cast<int>(point.fault) << " after " << point.after);
        db_.Reset();
        int exit_code = CompactInChild(point.fault, point.file, point.after);
        ASSERT_TRUE(exit_code == 9 || exit_code == 0) << exit_code;
        if (exit_code == 9 && point.fault == FileFault::kExitOnClose && std::string(point.file) == "db.cdb") {
            killed_after_copy = true;
        }
        ASSERT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kReady);
        EXPECT_EQ(Dump(), before);
        EXPECT_EQ(Text("PRAGMA integrity_check"), "ok");
    }
    EXPECT_TRUE(killed_after_copy);
    // Whatever was left behind, the next compaction works.
    ASSERT_TRUE(db_.Compact());
    EXPECT_EQ(Dump(), before);
}

TEST_F(CompactTest, ADatabaseLeftAsideIsPutBackBeforeAnythingIsOpenedOrMade) {
    Seed(20);
    std::string before = Dump();
    AppSettings().WriteString(u"General", u"Database", kPath);
    // The state a crash between moving the old file aside and moving the new one in leaves behind.
    auto crash = [&] {
        db_.Reset();
        std::filesystem::rename(HostPath(), device_.HostPath("db.cdb.qfaside"));
        std::filesystem::copy_file(device_.HostPath("db.cdb.qfaside"),
                                   device_.HostPath("rss1029102Temp.qfdb"),
                                   std::filesystem::copy_options::overwrite_existing);
    };
    crash();
    ASSERT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kReady);
    EXPECT_FALSE(Exists("db.cdb.qfaside"));
    EXPECT_EQ(Dump(), before);

    // What `quillfeed init` and `quillfeed db create` do must not make an empty database in its place.
    crash();
    EXPECT_EQ(EnsureDefaultDatabase(), DefaultDatabase::kExisting);
    EXPECT_EQ(Dump(), before);
    crash();
    EXPECT_FALSE(db_.Create(kPath, OverwritePrompt::kRefuse, DefaultViews::kCreate));
    EXPECT_EQ(Dump(), before);

    // An aside file that a database at the path cannot take back is kept, never deleted by a compaction.
    ASSERT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kReady);
    std::ofstream(device_.HostPath("db.cdb.qfaside")) << "precious";
    ASSERT_TRUE(db_.Compact());
    EXPECT_EQ(Dump(), before);
    std::ifstream kept(device_.HostPath("db.cdb.qfaside-1"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "precious");
}

}  // namespace
}  // namespace qf::test
