#include "host/item_fixture.h"

#include <map>

#include "db/default_database.h"
#include "host/entry_points.h"
#include "qfdevice/device.h"
#include "qfdevice/window_manager.h"
#include "qfdevice/window_surface.h"
#include "shared/adoclass31.h"

namespace qf::host::test {
namespace {

std::map<HWND, MessageRecorder*>& Recorders() {
    static std::map<HWND, MessageRecorder*> recorders;
    return recorders;
}

LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == TODAYM_GETCOLOR) return kShellText;
    if (message == TODAYM_DRAWWATERMARK) return TRUE;
    return DefWindowProcW(window, message, wparam, lparam);
}

std::u16string Number(int value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

MessageRecorder::MessageRecorder(HWND window) : window_(window) {
    Recorders()[window] = this;
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageRecorder::Proc)));
}

MessageRecorder::~MessageRecorder() {
    if (IsWindow(window_)) SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    Recorders().erase(window_);
}

int MessageRecorder::Count(UINT message) const {
    int count = 0;
    for (UINT seen : messages_) count += seen == message ? 1 : 0;
    return count;
}

LRESULT CALLBACK MessageRecorder::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageRecorder* recorder = Recorders().at(window);
    recorder->messages_.push_back(message);
    LRESULT result = recorder->original_(window, message, wparam, lparam);
    if (recorder->after_) recorder->after_(message, wparam);
    return result;
}

void ItemTest::SetUp() {
    qf::device::PinClock(SYSTEMTIME{2024, 5, 3, 1, 9, 0, 0, 0});
    LoadLibraryState();
    WNDCLASSW shell_class{};
    shell_class.lpfnWndProc = ShellProc;
    shell_class.lpszClassName = u"DesktopExplorerWindow";
    ASSERT_NE(RegisterClassW(&shell_class), 0);
    shell_ = CreateWindowExW(0, u"DesktopExplorerWindow", u"Desktop", WS_VISIBLE, 0, 0, 240, 320, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(shell_, nullptr);
    SetForegroundWindow(shell_);
}

void ItemTest::TearDown() {
    DestroyWindow(shell_);
    UnregisterClassW(u"DesktopExplorerWindow", nullptr);
    UnloadLibraryState();
    qf::device::PumpMessages();
    qf::device::UnpinClock();
}

TODAYLISTITEM ItemTest::Record(BOOL enabled) const {
    TODAYLISTITEM record{};
    std::u16string name = u"Quillfeed Today";
    std::copy(name.begin(), name.end(), record.szName);
    record.tlit = tlitCustom;
    record.fEnabled = enabled;
    record.hinstDLL = OwnModule();
    return record;
}

HWND ItemTest::CreateTodayItem(TODAYLISTITEM& record) {
    HWND window = InitializeTodayItem(&record, shell_);
    record.hwndCustom = window;
    return window;
}

std::optional<LONG> ItemTest::Setting(const std::u16string& section, const std::u16string& key) const {
    constexpr LONG kMissing = 0x7eadbeef;
    LONG value = AppSettings().ReadDword(section, key, kMissing);
    if (value == kMissing) return std::nullopt;
    return value;
}

bool ItemTest::TimerRuns(HWND window, UINT_PTR id) const {
    for (const qf::device::TimerInfo& timer : qf::device::RunningTimers())
        if (timer.window == window && timer.id == id) return true;
    return false;
}

std::u16string ItemTest::DrawnTexts(HWND window) const {
    std::u16string joined;
    for (const qf::device::DrawnText& text : qf::device::WindowTexts(window)) {
        if (!joined.empty()) joined += u"|";
        joined += text.text;
    }
    return joined;
}

void ItemTest::MakeDatabase(int feeds, int items) {
    ASSERT_EQ(EnsureDefaultDatabase(u"\\Quillfeed.cdb"), DefaultDatabase::kCreated);
    Sql(u"Insert Into Views(ViewID,ParentID,Label,ReadAfter,HideAfter,NumToShow,HideRead,DPadSkipRead,SortBy,"
        u"Status,Keywords,DateEntered) Values(3,0,'Tech',10,0,75,0,1,0,2,'','2024-05-01 00:00:00')");
    for (int f = 1; f <= feeds; ++f) {
        std::u16string feed = Number(f);
        Sql(u"Insert Into Feeds(FeedID,Title,Priority,Status,MaxItems,LastFeedDate) Values(" + feed +
            u",'Feed " + feed + u"'," + Number(feeds - f) + u",2,50,'2024-05-01 00:00:00')");
        Sql(u"Insert Into ViewFeeds(ViewID,FeedID,Priority) Values(3," + feed + u",0)");
        for (int i = 1; i <= items; ++i) {
            std::u16string id = Number(f * 100 + items - i);
            std::u16string name = feed + u"/" + Number(i);
            Sql(u"Insert Into "
                u"FeedItems(FeedItemID,FeedID,GUID,Title,LinkUrl,LinkUrl2,Status,ItemDate,DateEntered) "
                u"Values(" +
                id + u"," + feed + u",'g" + id + u"','Feed " + feed + u" item " + Number(i) +
                u"','http://example.com/" + name + u"','',1,'2024-05-02 10:00:00','2024-05-02 10:00:00')");
            Sql(u"Insert Into FeedItemShortData(FeedItemID,FeedID,LinkOrder,Keep,TextData) Values(" + id +
                u"," + feed + u",1,0,'About " + name + u"')");
        }
    }
    AppSettings().WriteDword(u"Today", u"CurrentViewID", 3);
}

void ItemTest::Sql(const std::u16string& statement) {
    AdoConnection connection;
    ASSERT_EQ(connection.Open(u"\\Quillfeed.cdb"), 0);
    ASSERT_TRUE(connection.Execute(statement)) << std::string(statement.begin(), statement.end());
}

void ItemTest::Advance(int ms) { qf::device::AdvanceClockAndPump(std::chrono::milliseconds(ms)); }

}  // namespace qf::host::test
