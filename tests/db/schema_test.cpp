#include <filesystem>
#include <fstream>

#include "common/settings_store.h"
#include "db/default_database.h"
#include "db_fixture.h"
#include "qfdevice/device.h"

namespace qf::test {
namespace {

using SchemaTest = DbTest;

// The statements themselves are the file's format (the command-line tests read the schema back); here
// the rows that Create writes beside them.
TEST_F(SchemaTest, CreateWritesTheVersionAndDefaultViews) {
    EXPECT_EQ(Text("Select VersionInfoID||'|'||VersionNumber||'|'||CreatedBy||'|'||"
                   "(DateCreated Like '____-__-__ __:__:00') From VersionInfo"),
              "1|2.0|Thornbeckvale|1");
    EXPECT_EQ(
        Text("Select group_concat(ViewID||','||ParentID||','||Label||','||ReadAfter||','||HideAfter||','||"
             "NumToShow||','||HideRead||','||DPadSkipRead||','||SortBy||','||Status||','||Keywords||','||"
             "(typeof(DateEntered) = 'text' And DateEntered Like '2%'), ';') From Views"),
        "1,0,Whats New,10,0,75,1,1,2,2,---specialwhatsnew---,1;2,0,Search Results,10,0,75,0,1,2,2,,1");
    EXPECT_EQ(*db_.Version(), u"2.0");
}

TEST_F(SchemaTest, CreateRefusesWhenLessThan200KbAreFree) {
    MessageBoxRecorder boxes(IDOK);
    db_.set_free_space_probe([](const std::u16string& folder) {
        EXPECT_EQ(folder, u"\\My Documents");
        return 150.7;
    });
    std::filesystem::create_directories(device_.HostPath("My Documents"));
    EXPECT_FALSE(db_.Create(u"\\My Documents\\small.cdb", OverwritePrompt::kAsk, DefaultViews::kCreate));
    EXPECT_EQ(
        boxes.shown(),
        (std::vector<ShownMessage>{
            {u"Sorry, but there is not enough available space. 200KB is needed, but only 150KB is available.",
             u"Create Error", MB_OK}}));
    EXPECT_FALSE(std::filesystem::exists(device_.HostPath("My Documents/small.cdb")));
}

TEST_F(SchemaTest, CreateAsksBeforeReplacingAFileThatHoldsData) {
    std::filesystem::path other = device_.HostPath("other.cdb");
    std::ofstream(other) << "precious";
    {
        MessageBoxRecorder boxes(IDNO);
        EXPECT_FALSE(db_.Create(u"\\other.cdb", OverwritePrompt::kAsk, DefaultViews::kCreate));
        EXPECT_EQ(
            boxes.shown(),
            (std::vector<ShownMessage>{
                {u"A database already exists.\n\nAre you sure you want to overwrite the existing database?",
                 u"Overwrite Warning", MB_YESNO}}));
        EXPECT_EQ(std::filesystem::file_size(other), 8u);
    }
    {
        MessageBoxRecorder boxes(IDYES);
        EXPECT_TRUE(db_.Create(u"\\other.cdb", OverwritePrompt::kAsk, DefaultViews::kSkip));
        EXPECT_EQ(boxes.shown().size(), 1u);
    }
    {
        // The compaction's own temporary file is replaced without a question, and an empty file is no data.
        MessageBoxRecorder boxes(IDNO);
        std::ofstream(device_.HostPath("empty.cdb")).flush();
        EXPECT_TRUE(db_.Create(u"\\other.cdb", OverwritePrompt::kOverwriteSilently, DefaultViews::kSkip));
        EXPECT_TRUE(db_.Create(u"\\empty.cdb", OverwritePrompt::kAsk, DefaultViews::kSkip));
        EXPECT_TRUE(boxes.shown().empty());
    }
    FeedDatabase other_db;
    ASSERT_EQ(other_db.Open(u"\\other.cdb", MissingMessage::kHide), OpenResult::kReady);
    EXPECT_FALSE(other_db.LoadView(1)) << "no default views were asked for";
}

TEST(DefaultDatabase, MadeOnceAndRecordedInTheSettings) {
    TempDevice device;
    std::filesystem::create_directories(device.HostPath("Program Files/Quillfeed"));
    EXPECT_EQ(DatabasePathSetting(), u"");
    EXPECT_EQ(EnsureDefaultDatabase(), DefaultDatabase::kCreated);
    EXPECT_EQ(DatabasePathSetting(), kDefaultDatabasePath);
    FeedDatabase database;
    ASSERT_EQ(database.Open(kDefaultDatabasePath, MissingMessage::kHide), OpenResult::kReady);
    ViewRecord view;
    ASSERT_TRUE(database.AddView(view));
    database.Reset();
    EXPECT_EQ(EnsureDefaultDatabase(), DefaultDatabase::kExisting);

    // A database file already at the path is kept when the setting is missing.
    AppSettings().WriteString(u"General", u"Database", u"");
    EXPECT_EQ(EnsureDefaultDatabase(), DefaultDatabase::kCreated);
    ASSERT_EQ(database.Open(kDefaultDatabasePath, MissingMessage::kHide), OpenResult::kReady);
    EXPECT_TRUE(database.LoadView(view.view_id)) << "the view added before is still there";
    EXPECT_EQ(EnsureDefaultDatabase(u"\\No Folder\\x.cdb"), DefaultDatabase::kExisting);
    AppSettings().WriteString(u"General", u"Database", u"");
    EXPECT_EQ(EnsureDefaultDatabase(u"\\No Folder\\x.cdb"), DefaultDatabase::kFailed);
    EXPECT_EQ(DatabasePathSetting(), u"");
}

}  // namespace
}  // namespace qf::test
