// Time to paint one item in message mode: a 240 x 75 item on a 96-dpi screen and a 480 x 150 item on a
// 192-dpi screen (scale factor 2), each into its off-screen bitmap and onto the window in one BitBlt.
#include <benchmark/benchmark.h>
#include <todaycmn.h>

#include "bench_support.h"
#include "display/item_paint.h"
#include "qfdevice/device.h"

namespace {

LRESULT CALLBACK ShellProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == TODAYM_GETCOLOR) return RGB(0, 0, 0);
    if (message == TODAYM_DRAWWATERMARK) {
        auto* info = reinterpret_cast<TODAYDRAWWATERMARKINFO*>(lparam);
        HBRUSH brush = CreateSolidBrush(RGB(230, 236, 250));
        FillRect(info->hdc, &info->rc, brush);
        DeleteObject(brush);
        return TRUE;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void PaintItem(benchmark::State& state, const char* profile, int width, int height, int scale) {
    static qf::bench::BenchDevice device("paint-bench");
    qf::device::OverrideProfile(qf::device::NamedProfile(profile));
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = ShellProc;
    window_class.lpszClassName = u"BenchShell";
    RegisterClassW(&window_class);
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.lpszClassName = u"BenchItem";
    RegisterClassW(&window_class);
    HWND shell = CreateWindowExW(0, u"BenchShell", u"", WS_VISIBLE, 0, 0, width, height * 4, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND item = CreateWindowExW(0, u"BenchItem", u"", WS_CHILD | WS_VISIBLE, 0, 0, width, height, shell,
                                nullptr, nullptr, nullptr);

    qf::display::PaintInputs inputs;
    inputs.item_height = height;
    inputs.scale.scale_factor = scale;
    inputs.content.status_text = u"Building View Listing...";
    qf::display::PaintState paint;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qf::display::PaintItem(item, inputs, paint));
    }

    DestroyWindow(shell);
    UnregisterClassW(u"BenchItem", nullptr);
    UnregisterClassW(u"BenchShell", nullptr);
    qf::device::OverrideProfile(std::nullopt);
}

void BM_PaintItem240x75(benchmark::State& state) { PaintItem(state, "qvga", 240, 75, 1); }
void BM_PaintItem480x150(benchmark::State& state) { PaintItem(state, "vga", 480, 150, 2); }

}  // namespace

BENCHMARK(BM_PaintItem240x75)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintItem480x150)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
