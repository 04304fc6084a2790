#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "common/settings_store.h"
#include "db_fixture.h"
#include "support/watchdog.h"

namespace qf::test {
namespace {

using namespace std::chrono_literals;

// Takes the database mutex on its own thread and holds it until told to let go.
class MutexHolder {
  public:
    MutexHolder() {
        thread_ = std::thread([this] {
            HANDLE mutex = CreateMutexW(nullptr, FALSE, u"QuillfeedDBMutex");
            WaitForSingleObject(mutex, INFINITE);
            held_ = true;
            while (!release_) std::this_thread::sleep_for(5ms);
            released_ = true;
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        });
        while (!held_) std::this_thread::sleep_for(1ms);
    }
    ~MutexHolder() { Release(); }
    void Release() {
        release_ = true;
        if (thread_.joinable()) thread_.join();
    }
    bool released() const { return released_; }

  private:
    std::atomic<bool> held_{false};
    std::atomic<bool> release_{false};
    std::atomic<bool> released_{false};
    std::thread thread_;
};

// Whether another thread could take the mutex at once.
bool MutexIsFree() {
    bool free = false;
    std::thread([&] {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, u"QuillfeedDBMutex");
        DWORD wait = WaitForSingleObject(mutex, 0);
        free = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        if (free) ReleaseMutex(mutex);
        CloseHandle(mutex);
    }).join();
    return free;
}

class OpenTest : public DbTest {
  protected:
    // Turns the file into what version 1.0 wrote: Feeds without ReadAfter, version "1.0".
    void MakeVersionOne() {
        db_.Reset();
        RawExecute("Alter Table Feeds Drop Column ReadAfter");
        for (int id = 1; id <= 3; ++id) {
            RawExecute("Insert Into Feeds(FeedID,Title,MaxItems,Priority,Status) Values(" +
                       std::to_string(id) + ",'Feed " + std::to_string(id) + "',25,1,2)");
        }
        RawExecute("Update VersionInfo Set VersionNumber = '1.0'");
    }
};

TEST_F(OpenTest, FilesThatAreMissingOrNoDatabaseDoNotOpen) {
    EXPECT_EQ(db_.Open(u"\\missing.cdb", MissingMessage::kShowOnce), OpenResult::kFailed);
    EXPECT_EQ(std::pair(db_.path(), db_.ready()), std::pair(std::u16string(), false));
    std::ofstream(device_.HostPath("text.cdb"))
        << "plain text, and long enough to have a header's worth of bytes";
    EXPECT_EQ(db_.Open(u"\\text.cdb", MissingMessage::kHide), OpenResult::kFailed);
    EXPECT_EQ(std::pair(db_.LoadView(1).error(), db_.Version().error()),
              std::pair(DbError::kNotReady, DbError::kNotReady));
}

TEST_F(OpenTest, AnUnknownVersionIsClosedAfterTheQuestion) {
    RawExecute("Delete From VersionInfo");
    MessageBoxRecorder boxes(IDYES);
    EXPECT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kFailed);
    EXPECT_EQ(boxes.shown(),
              (std::vector<ShownMessage>{
                  {u"The Database structure needs to be updated.  This may take several minutes.\n\n"
                   u"Do you want to update the database?",
                   u"Database Update Required", MB_YESNO}}));
    EXPECT_EQ(std::tuple(db_.ready(), db_.connected(), MutexIsFree()), std::tuple(false, false, true));
}

TEST_F(OpenTest, AnUpgradeDeclinedOrSuppressedLeavesTheFileAlone) {
    MakeVersionOne();
    // Declined when asked; suppressed, not asked, and a yes never given.
    for (auto [answer, suppress, questions] :
         {std::tuple{IDNO, false, size_t{1}}, {IDYES, true, size_t{0}}}) {
        MessageBoxRecorder boxes(answer);
        db_.set_suppress_upgrade_prompt(suppress);
        EXPECT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kUpgradeDeclined);
        EXPECT_EQ(boxes.shown().size(), questions);
    }
    EXPECT_EQ(Text("Select VersionNumber||','||(Select count(*) From pragma_table_info('Feeds') Where name = "
                   "'ReadAfter') From VersionInfo"),
              "1.0,0");
    EXPECT_TRUE(MutexIsFree());
}

TEST_F(OpenTest, VersionOneIsUpgradedInPlace) {
    MakeVersionOne();
    AppSettings().WriteDword(u"Today", u"TodayHasChanged", 0);
    MessageBoxRecorder boxes(IDYES);
    ASSERT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kReady);
    EXPECT_EQ(*db_.Version(), u"2.0");
    EXPECT_EQ(
        Text("Select group_concat(name, ',') From pragma_table_info('Feeds')"),
        "FeedID,Title,GUID,FeedType,FeedUrl,LinkUrl,Description1,Description2,ReloadFrequency,ReadAfter,"
        "MaxItems,ExtendedData,ExtendedAudio,Priority,Status,LastDigestKey,LastDownloadDate,LastFeedDate,"
        "DateEntered");
    EXPECT_EQ(Text("Select group_concat(FeedID||':'||Title||':'||ReadAfter||':'||MaxItems, ',') From Feeds"),
              "1:Feed 1:10:25,2:Feed 2:10:25,3:Feed 3:10:25");
    // The index kept, one version row, the change flagged, and the record layer reading the moved column.
    EXPECT_EQ(Text("Select (Select count(*) From sqlite_master Where name = 'Feeds_PI')||','||count(*) From "
                   "VersionInfo"),
              "1,1");
    EXPECT_EQ(AppSettings().ReadDword(u"Today", u"TodayHasChanged", 0), 1);
    DbResult<FeedRecord> feed = db_.LoadFeed(2);
    ASSERT_TRUE(feed);
    EXPECT_EQ(std::tuple(feed->read_after, feed->max_items, MutexIsFree()), std::tuple(10, 25, true));
}

TEST_F(OpenTest, AMissingFileIsReportedOnceAndOnlyWhenChecked) {
    ASSERT_EQ(db_.Open(kPath, MissingMessage::kShowOnce), OpenResult::kReady);
    std::filesystem::remove(HostPath());
    MessageBoxRecorder boxes(IDOK);
    EXPECT_EQ(db_.LoadView(1).error(), DbError::kFileMissing);
    EXPECT_FALSE(db_.LoadView(1));
    EXPECT_EQ(boxes.shown(),
              (std::vector<ShownMessage>{
                  {u"The database is no longer connected to...\\db.cdb\n\nPlease, Re-open the database.",
                   u"Missing Database", MB_OK}}));
}

TEST_F(OpenTest, WithoutTheFileCheckAnOpenConnectionGoesOn) {
    ASSERT_EQ(db_.Open(kPath, MissingMessage::kShowOnce), OpenResult::kReady);
    ASSERT_TRUE(db_.LoadView(1));
    db_.set_verify_file(false);
    std::filesystem::remove(HostPath());
    MessageBoxRecorder boxes(IDOK);
    EXPECT_TRUE(db_.LoadView(1)) << "the open connection still reaches the removed file";
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(OpenTest, ALockHeldElsewhereIsWaitedForTimedOutOrIgnoredWhenOff) {
    Watchdog watchdog(30s, "waiting for the database lock");
    {
        MutexHolder holder;
        std::thread release([&] {
            std::this_thread::sleep_for(300ms);
            holder.Release();
        });
        EXPECT_TRUE(db_.LoadView(1));
        EXPECT_TRUE(holder.released()) << "the operation waited for the holder";
        release.join();
        EXPECT_TRUE(MutexIsFree());
    }
    MutexHolder holder;
    db_.set_lock_timeout_ms(300);
    EXPECT_EQ(std::pair(db_.LoadView(1).error(), db_.locked()), std::pair(DbError::kLockTimedOut, false));
    EXPECT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kLockFailed);
    db_.set_use_lock(false);
    EXPECT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kReady);
    EXPECT_TRUE(db_.LoadView(1));
}

// Without the lock only the engine's busy wait stands between two writers, and it ends with the lock
// time-out too, not after the engine's default 10 s.
TEST_F(OpenTest, TheEnginesBusyWaitEndsWithTheLockTimeOut) {
    Watchdog watchdog(8s, "the engine's busy wait");
    db_.set_lock_timeout_ms(200);
    db_.Close();  // the next operation connects with the time-out
    AddView(10, u"Ten");
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(HostPath().c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    auto delete_view = [](AdoConnection& connection) {
        return connection.Execute(u"Delete From Views Where ViewID = 10");
    };
    EXPECT_FALSE(*db_.Run(delete_view)) << "the file stays locked by the other writer";
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
    EXPECT_TRUE(*db_.Run(delete_view));
}

// A record-layer exception fails the operation; any other passes on. Either way the lock is free.
TEST_F(OpenTest, AThrowingOperationReleasesTheLock) {
    RawExecute("Update Views Set NumToShow = 'many' Where ViewID = 1");
    EXPECT_FALSE(db_.LoadView(1)) << "NumToShow reads as a number";
    EXPECT_TRUE(!db_.locked() && MutexIsFree());
    EXPECT_TRUE(db_.LoadView(2));
    EXPECT_THROW(db_.Run([](AdoConnection&) { throw std::runtime_error("not a database error"); }),
                 std::runtime_error);
    EXPECT_FALSE(db_.locked());
}

TEST_F(OpenTest, ADatabaseLockHoldsTheLockAcrossOperations) {
    {
        DatabaseLock lock(db_);
        ASSERT_TRUE(lock.held());
        ASSERT_TRUE(db_.LoadView(1));
        EXPECT_TRUE(db_.locked() && !MutexIsFree());
        DatabaseLock nested(db_);
        ASSERT_TRUE(db_.LoadView(2));
    }
    EXPECT_TRUE(!db_.locked() && MutexIsFree());
}

// The item window's thread and the download thread share one FeedDatabase: the lock belongs to a
// thread, so each waits for the other's operations (and for a download run's kept lock) to end.
TEST_F(OpenTest, TwoThreadsSharingOneDatabaseTakeTurns) {
    Watchdog watchdog(60s, "two threads sharing one database");
    AddFeed(1, u"Feed");
    for (int i = 1; i <= 20; ++i) AddItem(i, 1, u"item");
    std::atomic<bool> run_holds_lock{false};
    std::atomic<bool> run_done{false};
    std::thread download([&] {
        DatabaseLock lock(db_);
        EXPECT_TRUE(db_.LoadFeedsForDownload());
        run_holds_lock = true;
        for (int i = 1; i <= 20; ++i) EXPECT_TRUE(db_.SetItemStatus(i, kItemRead));
        std::this_thread::sleep_for(200ms);
        run_done = true;
    });
    while (!run_holds_lock) std::this_thread::sleep_for(1ms);
    DbResult<FeedRecord> feed = db_.LoadFeed(1);  // waits for the run
    EXPECT_TRUE(run_done);
    ASSERT_TRUE(feed);
    download.join();
    EXPECT_EQ(Count("Select count(*) From FeedItems Where Status = 2"), 20);

    // Both threads work at once; each pauses between operations as a real thread does, since the
    // device's mutex is not fair to a waiter against a thread that takes it back at once.
    std::thread other([&] {
        for (int i = 1; i <= 20; ++i) {
            EXPECT_TRUE(db_.SetItemStatus(static_cast<std::int32_t>(i), kItemUnread));
            std::this_thread::sleep_for(2ms);
        }
    });
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(db_.LoadItemsOfFeed(1, 100));
        std::this_thread::sleep_for(2ms);
    }
    other.join();
    EXPECT_EQ(Count("Select count(*) From FeedItems Where Status = 1"), 20);
    EXPECT_TRUE(!db_.locked() && MutexIsFree());
}

}  // namespace
}  // namespace qf::test
