#include "fake_window_surface.h"
#include "qfdevice/window_manager.h"
#include "window_test.h"

namespace qf::test {
namespace {

using Paint = WindowTest;

TEST_F(Paint, InvalidAreasGatherIntoOnePaintWithEraseFirst) {
    HWND window = Create(nullptr, WS_VISIBLE, {0, 0, 100, 50});
    device::PumpMessages();
    PAINTSTRUCT seen{};
    SetResponder([&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_PAINT) return std::nullopt;
        BeginPaint(hwnd, &seen);
        EndPaint(hwnd, &seen);
        return 0;
    });
    RECT a{10, 10, 20, 20}, b{50, 5, 200, 15};
    InvalidateRect(window, &a, FALSE);
    InvalidateRect(window, &b, TRUE);
    MessageLog::Get().Take();
    EXPECT_EQ(device::PumpMessages().dispatched, 1);
    EXPECT_EQ(MessageLog::Get().Take(), Sent(window, {WM_PAINT, WM_ERASEBKGND}));
    RECT expected{10, 5, 100, 20};  // the union, clipped to the client area
    EXPECT_TRUE(EqualRect(&seen.rcPaint, &expected));
    EXPECT_TRUE(seen.fErase && seen.hdc != nullptr);  // nothing erased: the class has no brush
    SurfaceRecord record = SurfaceRecordNow();
    // The first paint after showing, then this one.
    EXPECT_EQ(std::pair(record.frames[window], record.open_dcs), std::pair(2, 0));
}

TEST_F(Paint, ClassBrushErasesAndUpdateWindowPaintsAtOnce) {
    WNDCLASSW brushed{};
    brushed.lpfnWndProc = LoggingProc, brushed.lpszClassName = u"QfBrushed";
    brushed.hbrBackground = reinterpret_cast<HBRUSH>(0x77);
    ASSERT_NE(RegisterClassW(&brushed), 0);
    HWND window =
        CreateWindowExW(0, u"QfBrushed", u"", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MessageLog::Get().Take();
    EXPECT_TRUE(UpdateWindow(window));
    EXPECT_EQ(MessageLog::Get().Take(), Sent(window, {WM_PAINT, WM_ERASEBKGND}));
    EXPECT_EQ(SurfaceRecordNow().fills, (std::vector<HBRUSH>{brushed.hbrBackground}));
    // Valid now: neither UpdateWindow nor the queue paints again.
    UpdateWindow(window);
    EXPECT_EQ(device::PumpMessages().dispatched, 0);
    DestroyWindow(window);
    UnregisterClassW(u"QfBrushed", nullptr);
}

TEST_F(Paint, HiddenWindowsWaitAnUnpaintedWindowIsValidatedOnceAndEachDcGoesBack) {
    HWND window = Create(nullptr, 0, {0, 0, 10, 10});
    SetResponder([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_PAINT) return 0;  // does not call BeginPaint
        return std::nullopt;
    });
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_EQ(device::PumpMessages().dispatched, 0);
    ShowWindow(window, SW_SHOWNA);
    MessageLog::Get().Take();
    EXPECT_EQ(device::PumpMessages().dispatched, 1);
    EXPECT_EQ(MessageLog::Get().Take(), Sent(window, {WM_PAINT}));

    // Each DC goes back where it came from.
    HDC dc = GetDC(window);
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(dc != nullptr && screen != nullptr && dc != screen);
    EXPECT_EQ(SurfaceRecordNow().open_dcs, 2);
    EXPECT_EQ(ReleaseDC(window, dc) + ReleaseDC(nullptr, screen), 2);
    EXPECT_EQ(SurfaceRecordNow().open_dcs, 0);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x4321)), nullptr);
}

}  // namespace
}  // namespace qf::test
