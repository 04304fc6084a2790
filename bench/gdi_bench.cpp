// DrawTextW and the off-screen paint of a Today item's message, at the two screen sizes.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_support.h"
#include "qfdevice/device.h"
#include "windows.h"

namespace {

constexpr char16_t kMessage[] = u"No View items are available:  Please configure Quillfeed.";
constexpr char16_t kHeadline[] =
    u"Council approves the new harbour bridge after a two-year debate over costs, traffic and the "
    u"view from the old town; construction starts in spring";

qf::bench::BenchDevice& Device() {
    static qf::bench::BenchDevice device("gdi-bench");
    return device;
}

// The item's sizes: 240 x 75 at 96 dpi (8 points = -11) and 480 x 150 at 192 dpi (-21).
struct ItemSize {
    int width;
    int height;
    LONG font_height;
};
ItemSize SizeOf(const benchmark::State& state) {
    return state.range(0) == 240 ? ItemSize{240, 75, -11} : ItemSize{480, 150, -21};
}

HFONT ItemFont(LONG height, LONG weight) {
    LOGFONTW logfont{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof(logfont), &logfont);
    logfont.lfHeight = height;
    logfont.lfWeight = weight;
    return CreateFontIndirectW(&logfont);
}

// DrawTextW alone: a wrapped headline into a bitmap of the item's size.
void BM_DrawTextW(benchmark::State& state) {
    Device();
    ItemSize size = SizeOf(state);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, size.width, size.height);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    HFONT font = ItemFont(size.font_height, FW_BOLD);
    HGDIOBJ old_font = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (auto _ : state) {
        RECT rect{20, 2, size.width - 15, size.height};
        benchmark::DoNotOptimize(DrawTextW(dc, kHeadline, -1, &rect, DT_WORDBREAK | DT_NOPREFIX));
    }
    SelectObject(dc, old_font);
    SelectObject(dc, old_bitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
BENCHMARK(BM_DrawTextW)->Arg(240)->Arg(480)->Unit(benchmark::kMicrosecond);

// The whole message-mode paint as the item does it: memory DC and bitmap, white background, font,
// measure, draw, one BitBlt to the window's bitmap, everything deleted again.
void BM_MessagePaint(benchmark::State& state) {
    Device();
    ItemSize size = SizeOf(state);
    HDC window = CreateCompatibleDC(nullptr);
    HBITMAP window_bitmap = CreateCompatibleBitmap(window, size.width, size.height);
    HGDIOBJ old_window_bitmap = SelectObject(window, window_bitmap);
    for (auto _ : state) {
        HDC memory = CreateCompatibleDC(window);
        HBITMAP bitmap = CreateCompatibleBitmap(window, size.width, size.height);
        HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
        RECT client{0, 0, size.width, size.height};
        SetBkMode(memory, OPAQUE);
        FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HFONT font = ItemFont(size.font_height, FW_NORMAL);
        HGDIOBJ old_font = SelectObject(memory, font);
        RECT measure{20, 0, size.width - 10, size.height};
        DrawTextW(memory, kMessage, -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        RECT draw{20, 2, size.width - 10, size.height};
        DrawTextW(memory, kMessage, -1, &draw, DT_WORDBREAK | DT_NOPREFIX);
        BitBlt(window, 0, 0, size.width, size.height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old_font);
        SelectObject(memory, old_bitmap);
        DeleteObject(font);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    SelectObject(window, old_window_bitmap);
    DeleteObject(window_bitmap);
    DeleteDC(window);
}
BENCHMARK(BM_MessagePaint)->Arg(240)->Arg(480)->Unit(benchmark::kMicrosecond);

// Measuring text of growing length must stay linear, whatever a feed puts in a description.
void BM_CalcRectLongText(benchmark::State& state) {
    Device();
    std::u16string text;
    while (text.size() < static_cast<std::size_t>(state.range(0))) text += u"word longerword x ";
    text.resize(static_cast<std::size_t>(state.range(0)));
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = ItemFont(-11, FW_NORMAL);
    HGDIOBJ old_font = SelectObject(dc, font);
    for (auto _ : state) {
        RECT rect{0, 0, 210, 75};
        benchmark::DoNotOptimize(
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_WORDBREAK));
    }
    state.SetComplexityN(state.range(0));
    SelectObject(dc, old_font);
    DeleteObject(font);
    DeleteDC(dc);
}
BENCHMARK(BM_CalcRectLongText)->RangeMultiplier(10)->Range(100, 100000)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
