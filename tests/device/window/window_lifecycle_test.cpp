#include <thread>

#include "fake_window_surface.h"
#include "qfdevice/window_manager.h"
#include "window_test.h"

namespace qf::test {
namespace {

using WindowLifecycle = WindowTest;

TEST_F(WindowLifecycle, CreationSendsCreateSizeMoveThenShows) {
    CREATESTRUCTW seen{};
    int marker = 0;
    SetResponder([&](HWND, UINT message, WPARAM, LPARAM lparam) -> std::optional<LRESULT> {
        if (message == WM_CREATE) seen = *reinterpret_cast<CREATESTRUCTW*>(lparam);
        return std::nullopt;
    });
    HWND parent = CreateWindowExW(0, kLoggingClass, u"Top", WS_VISIBLE, 5, 6, 200, 100, nullptr, nullptr,
                                  nullptr, &marker);
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(std::tuple(seen.lpCreateParams, seen.x, seen.y, seen.cx, seen.cy, seen.style,
                         std::u16string(seen.lpszName)),
              std::tuple(static_cast<LPVOID>(&marker), 5, 6, 200, 100, static_cast<LONG>(WS_VISIBLE),
                         std::u16string(u"Top")));
    // A visible top-level window is also activated, and activation gives it the focus.
    EXPECT_EQ(MessageLog::Get().Take(), Sent(parent, {WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                                                      WM_WINDOWPOSCHANGED, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_EQ(std::pair(GetForegroundWindow(), GetFocus()), std::pair(parent, parent));

    HWND child = Create(parent, WS_VISIBLE, {10, 20, 60, 40});
    EXPECT_EQ(MessageLog::Get().Take(),
              Sent(child, {WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_WINDOWPOSCHANGED}));
    EXPECT_EQ(std::pair(GetParent(child), GetParent(parent)), std::pair(parent, HWND{}));
    EXPECT_EQ((SurfaceRecordNow().sizes[child]), (std::pair{50, 20}));
    // Handles fit in 31 bits, so that they survive a REG_DWORD.
    EXPECT_LE(reinterpret_cast<std::uintptr_t>(child), 0x7FFFFFFFu);
}

TEST_F(WindowLifecycle, CreateAnsweringMinusOneFailsAndDestroys) {
    HWND created = nullptr;
    SetResponder([&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        created = window;
        if (message == WM_CREATE) return -1;
        return std::nullopt;
    });
    EXPECT_EQ(Create(nullptr, WS_VISIBLE), nullptr);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(MessageLog::Get().Take(), Sent(created, {WM_CREATE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(created));
    EXPECT_TRUE(SurfaceRecordNow().sizes.empty());
}

TEST_F(WindowLifecycle, DestroyTellsParentsFirstAndFreesEverything) {
    HWND parent = Create();
    HWND first = Create(parent);
    HWND grandchild = Create(first);
    HWND second = Create(parent);
    SetTimer(first, 7, 1000, nullptr);
    MessageLog::Get().Take();
    bool children_alive_in_parent_destroy = false;
    SetResponder([&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (window == parent && message == WM_DESTROY)
            children_alive_in_parent_destroy = IsWindow(first) && IsWindow(grandchild) && IsWindow(second);
        return std::nullopt;
    });
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(
        MessageLog::Get().Take(),
        (std::vector<Logged>{
            {parent, WM_DESTROY}, {first, WM_DESTROY}, {grandchild, WM_DESTROY}, {second, WM_DESTROY}}));
    EXPECT_TRUE(children_alive_in_parent_destroy);
    for (HWND window : {parent, first, grandchild, second}) EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(SurfaceRecordNow().destroyed.size(), 4u);
    EXPECT_TRUE(device::RunningTimers().empty());
    EXPECT_FALSE(DestroyWindow(parent));
}

TEST_F(WindowLifecycle, DestroyingTheActiveWindowTakesFocusAndActivationFirst) {
    HWND window = Create(nullptr, WS_VISIBLE);
    MessageLog::Get().Take();
    DestroyWindow(window);
    EXPECT_EQ(MessageLog::Get().Take(), Sent(window, {WM_KILLFOCUS, WM_ACTIVATE, WM_DESTROY}));
    EXPECT_EQ(std::pair(GetForegroundWindow(), GetFocus()), std::pair(HWND{}, HWND{}));
}

TEST_F(WindowLifecycle, OnlyTheOwnerThreadDestroysAndAThreadThatEndsTakesItsWindowsAlong) {
    HWND window = Create();
    BOOL destroyed = TRUE;
    DWORD error = 0;
    std::thread([&] {
        destroyed = DestroyWindow(window);
        error = GetLastError();
    }).join();
    EXPECT_EQ(std::pair(destroyed, error), std::pair(FALSE, static_cast<DWORD>(ERROR_ACCESS_DENIED)));
    EXPECT_TRUE(IsWindow(window));

    // A thread that ends takes its windows along.
    HWND gone = nullptr;
    std::thread([&] { gone = Create(); }).join();
    ASSERT_NE(gone, nullptr);
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(SendMessageW(gone, WM_USER, 0, 0), 0);
}

}  // namespace
}  // namespace qf::test
