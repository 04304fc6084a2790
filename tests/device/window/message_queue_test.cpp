#include "qfdevice/device.h"
#include "qfdevice/window_manager.h"
#include "window_test.h"

namespace qf::test {
namespace {

using MessageQueue = WindowTest;

TEST_F(MessageQueue, PostedMessagesComeInOrderBeforePaintAndTimers) {
    HWND window = Create(nullptr, WS_VISIBLE);
    SetTimer(window, 1, 1000, nullptr);
    device::StepClock(std::chrono::milliseconds(1000));
    PostMessageW(window, WM_USER + 1, 0, 0);
    PostMessageW(window, WM_USER + 2, 0, 0);
    MessageLog::Get().Take();

    EXPECT_EQ(device::PumpMessages().dispatched, 4);
    EXPECT_EQ(MessageLog::Get().Take(),
              Sent(window, {WM_USER + 1, WM_USER + 2, WM_PAINT, WM_ERASEBKGND, WM_TIMER}));
}

TEST_F(MessageQueue, QuitComesOnceThePostedMessagesAreGone) {
    HWND window = Create();
    PostMessageW(window, WM_USER, 0, 0);
    PostQuitMessage(3);
    PostMessageW(window, WM_USER + 1, 0, 0);
    MSG msg;
    EXPECT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(MessageQueue, FiltersSelectByWindowTreeAndRange) {
    HWND a = Create();
    HWND b = Create();
    HWND b_child = Create(b);
    PostMessageW(a, WM_USER + 1, 0, 0);
    PostMessageW(b_child, WM_USER + 2, 0, 0);
    PostMessageW(nullptr, WM_USER + 3, 0, 0);  // a thread message
    MSG msg;
    // A window filter takes the window's children too, and never thread messages.
    ASSERT_TRUE(PeekMessageW(&msg, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, b_child);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 2, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 2, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageW(&msg, b, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a);

    EXPECT_EQ(GetMessageW(&msg, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(MessageQueue, PenMessagesSetTheMessagePositionInScreenCoordinates) {
    HWND parent = Create(nullptr, 0, {20, 30, 220, 330});
    HWND child = Create(parent, 0, {0, 100, 200, 175});
    PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
    PostMessageW(child, WM_USER, 0, 0);
    MSG msg;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
        DWORD pos = GetMessagePos();
        EXPECT_EQ(GET_X_LPARAM(pos), 25);
        EXPECT_EQ(GET_Y_LPARAM(pos), 137);
    }
}

}  // namespace
}  // namespace qf::test
