#include "db/listing_model.h"
#include "db_fixture.h"
#include "faulty_vfs.h"

namespace qf::test {
namespace {

using FaultTest = DbTest;

TEST_F(FaultTest, AFileThatWillNotOpenFailsOpen) {
    ScopedFileFault fault(FileFault::kFailOpen, "db.cdb");
    FeedDatabase other;
    EXPECT_EQ(other.Open(kPath, MissingMessage::kHide), OpenResult::kFailed);
    EXPECT_EQ(other.path(), u"");
    db_.Close();
    EXPECT_FALSE(db_.LoadView(1)) << "reconnecting fails too";
    EXPECT_FALSE(db_.locked());
}

TEST_F(FaultTest, ARefusedWriteFailsTheOperationAndFreesTheLock) {
    AddFeed(1, u"Feed");
    AddItem(1, 1, u"item");
    {
        ScopedFileFault fault(FileFault::kFailWrite, "db.cdb");
        db_.Close();  // the next operation reconnects through the faulty files
        EXPECT_FALSE(db_.SetItemStatus(1, kItemRead)) << "Update throws -18";
        ViewRecord view;
        EXPECT_FALSE(db_.AddView(view));
        // Statements run through Execute report by result, which the operations ignore.
        EXPECT_TRUE(db_.DeleteView(10));
        EXPECT_FALSE(db_.locked());
    }
    EXPECT_EQ(Text("Select Status||','||(Select count(*) From Views) From FeedItems"),
              std::to_string(kItemUnread) + ",2");
    EXPECT_TRUE(db_.SetItemStatus(1, kItemRead));
    EXPECT_EQ(Count("Select Status From FeedItems"), kItemRead);
}

TEST_F(FaultTest, AReadFaultDuringAListingGivesAnEmptyListing) {
    AddView(10, u"View", 75);
    AddFeed(1, u"Feed");
    ASSERT_TRUE(db_.SetViewFeeds(10, {1}));
    for (int i = 1; i <= 40; ++i) AddItem(i, 1, std::u16string(300, u'x'));
    bool failed_once = false;
    // The page cache hides some reads: try fault points until one lands inside the listing.
    for (int after = 0; after < 60 && !failed_once; ++after) {
        ListingModel model;
        ScopedFileFault fault(FileFault::kFailRead, "db.cdb", after);
        if (model.database().Open(kPath, MissingMessage::kHide) != OpenResult::kReady) continue;
        if (!model.BuildViewListing(10, true)) {
            failed_once = true;
            EXPECT_TRUE(model.listing().empty() && !model.database().locked());
        }
    }
    EXPECT_TRUE(failed_once);
}

}  // namespace
}  // namespace qf::test
