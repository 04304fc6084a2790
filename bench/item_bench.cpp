// Speed of the item at work: a cold start on a database of 10,000 items up to the first painted frame of
// a 75-row view, one heartbeat tick of the ticker, and a full paint of a list of 10 visible rows on a
// 240 x 320 and a 480 x 640 screen.
#include <benchmark/benchmark.h>
#include <todaycmn.h>

#include "bench_support.h"
#include "common/settings_store.h"
#include "host/entry_points.h"
#include "host/library_state.h"
#include "host/timers.h"
#include "qfdevice/device.h"
#include "qfdevice/window_manager.h"

namespace {

using qf::host::Item;
using qf::host::Library;

constexpr char16_t kPath[] = u"\\bench.cdb";
constexpr int kView = 10;

LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == TODAYM_GETCOLOR) return RGB(0, 0, 0);
    if (message == TODAYM_DRAWWATERMARK) return TRUE;
    return DefWindowProcW(window, message, wparam, lparam);
}

// The Today screen's window and a database whose view lists 75 items (25 feeds, 3 each) out of 10,000.
class TodayScreen {
  public:
    explicit TodayScreen(const char* profile) : device_("item-bench") {
        qf::device::OverrideProfile(qf::device::NamedProfile(profile));
        qf::bench::MakeBenchDatabase(kPath, 10000, 25, kView, 75);
        qf::AppSettings().OpenItemSettings();
        qf::AppSettings().WriteString(u"General", u"Database", kPath);
        qf::AppSettings().WriteDword(u"Today", u"CurrentViewID", kView);
        // 10,000 items make a database past the 5 MB warning, which would replace the list.
        qf::AppSettings().WriteDword(u"Warning", u"MaxDatabase", 100);
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = ShellProc;
        window_class.lpszClassName = u"DesktopExplorerWindow";
        RegisterClassW(&window_class);
        qf::device::Profile current = qf::device::CurrentProfile();
        shell_ =
            CreateWindowExW(0, u"DesktopExplorerWindow", u"Desktop", WS_VISIBLE, 0, 0, current.screen_width,
                            current.screen_height, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(shell_);
    }
    ~TodayScreen() {
        DestroyWindow(shell_);
        UnregisterClassW(u"DesktopExplorerWindow", nullptr);
        qf::device::PumpMessages();
        qf::device::OverrideProfile(std::nullopt);
    }

    // InitializeCustomItem, the Today screen's first refresh query, the start-up timer (fired at once
    // rather than after its second) and the first painted frame.
    HWND StartItem(TODAYLISTITEM& record) {
        record = TODAYLISTITEM{};
        record.fEnabled = TRUE;
        record.hinstDLL = qf::host::OwnModule();
        HWND item = qf::host::InitializeTodayItem(&record, shell_);
        SendMessageW(item, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&record), 0);
        qf::host::OnItemTimer(Item(), qf::host::kStartupTimer);
        UpdateWindow(item);
        return item;
    }

  private:
    qf::bench::BenchDevice device_;
    HWND shell_ = nullptr;
};

void BM_ColdStartToFirstFrame(benchmark::State& state) {
    TodayScreen screen("qvga");
    TODAYLISTITEM record{};
    size_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        qf::host::LoadLibraryState();
        state.ResumeTiming();
        HWND item = screen.StartItem(record);
        state.PauseTiming();
        rows = qf::host::Listing().listing().size();
        DestroyWindow(item);
        qf::host::UnloadLibraryState();
        qf::device::PumpMessages();
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ColdStartToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HeartbeatTick(benchmark::State& state) {
    TodayScreen screen("qvga");
    qf::host::LoadLibraryState();
    TODAYLISTITEM record{};
    HWND item = screen.StartItem(record);
    MoveWindow(item, 0, 26, 240, 75, TRUE);
    for (auto _ : state) qf::host::OnItemTimer(Item(), qf::host::kHeartbeatTimer);
    DestroyWindow(item);
    qf::host::UnloadLibraryState();
}
BENCHMARK(BM_HeartbeatTick)->Unit(benchmark::kMicrosecond);

// Argument 0: 240 x 320 at 96 dpi; 1: 480 x 640 at 192 dpi with the scale factor 2.
void BM_ListPaintTenRows(benchmark::State& state) {
    bool vga = state.range(0) == 1;
    TodayScreen screen(vga ? "vga" : "qvga");
    qf::AppSettings().WriteDword(u"Today", u"ListMode", 1);
    qf::host::LoadLibraryState();
    int scale = vga ? 2 : 1;
    Library().skin_scale.scale_factor = scale;
    TODAYLISTITEM record{};
    HWND item = screen.StartItem(record);
    UpdateWindow(item);  // measures the row height
    int height = 10 * Item().paint.row_height * scale + 5 * scale;
    Item().item_height = height;
    MoveWindow(item, 0, 26 * scale, 240 * scale, height, TRUE);
    UpdateWindow(item);
    for (auto _ : state) {
        InvalidateRect(item, nullptr, TRUE);
        UpdateWindow(item);
    }
    state.counters["rows"] = Item().paint.position.rows_per_page;
    DestroyWindow(item);
    qf::host::UnloadLibraryState();
    qf::AppSettings().WriteDword(u"Today", u"ListMode", 0);
}
BENCHMARK(BM_ListPaintTenRows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
