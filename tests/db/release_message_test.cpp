#include <filesystem>
#include <string>
#include <vector>

#include "common/settings_store.h"
#include "db_fixture.h"
#include "qfdevice/shell_hooks.h"

namespace qf::test {
namespace {

// What the item window and the message boxes saw, in order.
std::vector<std::string> events;
// The item window's own connection: the release message closes it.
FeedDatabase* item_database = nullptr;

LRESULT CALLBACK ItemWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != 0x041E) return DefWindowProcW(window, message, wparam, lparam);
    events.push_back("release-database");
    if (item_database) item_database->Close();
    return 2;
}

// A stand-in for the item window, registered in Today/HWND like the real one.
class ReleaseMessageTest : public DbTest {
  protected:
    void SetUp() override {
        DbTest::SetUp();
        events.clear();
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = ItemWindowProc;
        window_class.lpszClassName = u"ReleaseMessageTestItem";
        RegisterClassW(&window_class);
        window_ = CreateWindowExW(0, u"ReleaseMessageTestItem", u"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        AppSettings().WriteDword(u"Today", u"HWND", static_cast<LONG>(reinterpret_cast<ULONG_PTR>(window_)));
        qf::device::SetMessageBoxHook([](HWND, const std::u16string&, const std::u16string& caption, UINT) {
            events.push_back("message box " + WideToUtf8(caption));
            return IDYES;
        });
        ASSERT_EQ(item_.Open(kPath, MissingMessage::kHide), OpenResult::kReady);
        item_database = &item_;
    }
    void TearDown() override {
        item_database = nullptr;
        qf::device::SetMessageBoxHook({});
        AppSettings().WriteDword(u"Today", u"HWND", 0);
        DestroyWindow(window_);
        UnregisterClassW(u"ReleaseMessageTestItem", nullptr);
    }

    HWND window_ = nullptr;
    FeedDatabase item_;
};

TEST_F(ReleaseMessageTest, TheItemLetsGoBeforeTheUpgradeQuestion) {
    db_.Reset();
    RawExecute("Update VersionInfo Set VersionNumber = '1.0'");
    ASSERT_TRUE(item_.connected());
    ASSERT_EQ(db_.Open(kPath, MissingMessage::kHide), OpenResult::kReady);
    EXPECT_EQ(events, (std::vector<std::string>{"release-database", "message box Database Update Required"}));
    EXPECT_FALSE(item_.connected());
}

TEST_F(ReleaseMessageTest, CompactionReleasesTheItemBetweenCopyingAndReplacing) {
    AddFeed(1, u"Feed");
    AddItem(1, 1, u"item");
    ASSERT_TRUE(item_.LoadView(1));
    ASSERT_TRUE(db_.Compact());
    EXPECT_EQ(events, std::vector<std::string>{"release-database"});
    EXPECT_FALSE(item_.connected());
    EXPECT_TRUE(item_.LoadItem(1)) << "the item reconnects to the new file";
    EXPECT_FALSE(std::filesystem::exists(device_.HostPath("rss1029102Temp.qfdb")));
}

}  // namespace
}  // namespace qf::test
