#include "fake_window_surface.h"
#include "qfdevice/device.h"
#include "qfdevice/window_manager.h"
#include "window_test.h"

namespace qf::test {
namespace {

using WindowGeometry = WindowTest;

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool SameRect(RECT a, RECT b) { return EqualRect(&a, &b) != FALSE; }

TEST_F(WindowGeometry, MoveSendsPositionChangedAndDefWindowProcTurnsItIntoSizeAndMove) {
    HWND parent = Create(nullptr, 0, {30, 40, 230, 340});
    HWND child = Create(parent, WS_VISIBLE, {10, 20, 60, 40});
    ValidateRect(child, nullptr);
    MessageLog::Get().Take();

    EXPECT_TRUE(MoveWindow(child, 15, 20, 80, 75, TRUE));
    EXPECT_EQ(MessageLog::Get().Take(), Sent(child, {WM_WINDOWPOSCHANGED, WM_SIZE, WM_MOVE}));
    EXPECT_TRUE(SameRect(WindowRect(child), RECT{45, 60, 125, 135}));
    EXPECT_EQ((SurfaceRecordNow().sizes[child]), (std::pair{80, 75}));
    RECT update;
    EXPECT_TRUE(GetUpdateRect(child, &update, FALSE));  // what grew: to the right and below
    EXPECT_TRUE(SameRect(update, RECT{0, 0, 80, 75}));
    ValidateRect(child, nullptr);
    MoveWindow(child, 15, 20, 80, 70, TRUE);  // shrinking exposes nothing...
    EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
    SetWindowPos(parent, nullptr, 0, 0, 200, 310, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(GetUpdateRect(parent, &update, FALSE));  // ...growing exposes only the new strip
    EXPECT_TRUE(SameRect(update, RECT{0, 300, 200, 310}));
    MoveWindow(child, 15, 20, 80, 75, TRUE);
    MessageLog::Get().Take();

    // Only a move: no WM_SIZE; nothing at all when nothing changes.
    MoveWindow(child, 0, 0, 80, 75, TRUE);
    EXPECT_EQ(MessageLog::Get().Take(), Sent(child, {WM_WINDOWPOSCHANGED, WM_MOVE}));
    MoveWindow(child, 0, 0, 80, 75, TRUE);
    EXPECT_TRUE(MessageLog::Get().Take().empty());

    POINT point{5, 5};
    ClientToScreen(child, &point);
    EXPECT_EQ(std::pair(point.x, point.y), std::pair(LONG{35}, LONG{45}));
    ScreenToClient(parent, &point);
    EXPECT_EQ(point.x, 5);
    RECT client;
    GetClientRect(child, &client);
    EXPECT_TRUE(SameRect(client, RECT{0, 0, 80, 75}));
}

TEST_F(WindowGeometry, StackingDecidesPaintOrderAndHitTesting) {
    HWND back = Create(nullptr, WS_VISIBLE, {0, 0, 240, 320}),
         front = Create(nullptr, WS_VISIBLE, {0, 0, 100, 100});
    HWND lower = Create(back, WS_VISIBLE, {0, 200, 240, 300}),
         upper = Create(back, WS_VISIBLE, {0, 250, 240, 320});
    EXPECT_EQ(device::TopLevelZOrder(), (std::vector<HWND>{front, back}));
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), front);
    EXPECT_EQ(WindowFromPoint(POINT{10, 260}), upper);

    MessageLog::Get().Take();
    BringWindowToTop(lower);
    EXPECT_EQ(MessageLog::Get().Take(), Sent(lower, {WM_WINDOWPOSCHANGED}));
    EXPECT_EQ(WindowFromPoint(POINT{10, 260}), lower);
    // A top-level window brought to the top is activated as well.
    BringWindowToTop(back);
    EXPECT_EQ(GetForegroundWindow(), back);
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), back);

    std::vector<HWND> paint_order;
    for (const device::WindowInfo& info : device::EnumerateWindows()) paint_order.push_back(info.handle);
    EXPECT_EQ(paint_order, (std::vector<HWND>{front, back, upper, lower}));

    ShowWindow(lower, SW_HIDE);
    EXPECT_EQ(WindowFromPoint(POINT{10, 260}), upper);
}

TEST_F(WindowGeometry, ShowWindowVisibilityForegroundAndFocus) {
    HWND parent = Create(nullptr, WS_VISIBLE);
    HWND child = Create(parent, WS_VISIBLE);
    MessageLog::Get().Take();
    EXPECT_TRUE(ShowWindow(child, SW_HIDE));
    EXPECT_EQ(MessageLog::Get().Take(), Sent(child, {WM_SHOWWINDOW, WM_WINDOWPOSCHANGED}));
    EXPECT_FALSE(ShowWindow(child, SW_HIDE));
    EXPECT_TRUE(MessageLog::Get().Take().empty());
    EXPECT_FALSE(ShowWindow(child, SW_SHOWNORMAL));
    EXPECT_TRUE(IsWindowVisible(child));
    ShowWindow(parent, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE, WS_VISIBLE);
    // Hiding the foreground window deactivates it.
    EXPECT_EQ(GetForegroundWindow(), nullptr);

    // Foreground and focus move with activation.
    HWND a = Create(nullptr, WS_VISIBLE), b = Create(nullptr, 0), b_child = Create(b);
    MessageLog::Get().Take();
    // A child asks for its top-level window to be activated.
    EXPECT_TRUE(SetForegroundWindow(b_child));
    EXPECT_EQ(GetForegroundWindow(), b);
    EXPECT_EQ(MessageLog::Get().Take(),
              (std::vector<Logged>{{a, WM_ACTIVATE}, {b, WM_ACTIVATE}, {a, WM_KILLFOCUS}, {b, WM_SETFOCUS}}));
    // Braces: the focus is read after it moved.
    EXPECT_EQ((std::pair{SetFocus(b_child), GetFocus()}), std::pair(b, b_child));
    EXPECT_EQ(MessageLog::Get().Take(), (std::vector<Logged>{{b, WM_KILLFOCUS}, {b_child, WM_SETFOCUS}}));
}

}  // namespace
}  // namespace qf::test
