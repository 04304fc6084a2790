#include "window_test.h"

namespace qf::test {
namespace {

using WindowClassTest = WindowTest;

WNDCLASSW ClassNamed(const WCHAR* name) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = LoggingProc;
    window_class.lpszClassName = name;
    return window_class;
}

TEST_F(WindowClassTest, RegistrationRulesAndCreationNeedsARegisteredClassAndAParentForChildren) {
    WNDCLASSW first = ClassNamed(u"QfRules");
    ATOM atom = RegisterClassW(&first);
    ASSERT_NE(atom, 0);
    // The name is taken whatever its case.
    WNDCLASSW again = ClassNamed(u"QFRULES");
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    WNDCLASSW no_procedure = ClassNamed(u"QfNoProc");
    no_procedure.lpfnWndProc = nullptr;
    EXPECT_EQ(RegisterClassW(&no_procedure), 0);

    // A class cannot go while one of its windows lives, not even from inside its WM_DESTROY.
    HWND window =
        CreateWindowExW(0, MAKEINTATOM(atom), u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(UnregisterClassW(u"qfrules", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    BOOL unregistered_in_destroy = TRUE;
    SetResponder([&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY) unregistered_in_destroy = UnregisterClassW(u"QfRules", nullptr);
        return std::nullopt;
    });
    DestroyWindow(window);
    EXPECT_FALSE(unregistered_in_destroy);

    EXPECT_TRUE(UnregisterClassW(u"QfRules", nullptr));
    EXPECT_FALSE(UnregisterClassW(u"QfRules", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    // Replacing a class left over from an earlier load: unregister, then register.
    EXPECT_NE(RegisterClassW(&again), 0);
    EXPECT_TRUE(UnregisterClassW(u"QfRules", nullptr));

    // Creation needs a registered class, and a parent for a child.
    EXPECT_EQ(CreateWindowExW(0, u"QfMissing", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(Create(nullptr, WS_CHILD), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
}

TEST_F(WindowClassTest, FindWindowMatchesClassAndNameWithoutCaseAmongTopLevelWindows) {
    WNDCLASSW desktop_class = ClassNamed(u"DesktopExplorerWindow");
    ASSERT_NE(RegisterClassW(&desktop_class), 0);
    HWND desktop = CreateWindowExW(0, u"DesktopExplorerWindow", u"Desktop", 0, 0, 0, 240, 320, nullptr,
                                   nullptr, nullptr, nullptr);
    HWND other = Create(nullptr, 0, {0, 0, 10, 10}, u"Other");
    HWND child = Create(desktop, 0, {0, 0, 10, 10}, u"Child");
    ASSERT_TRUE(desktop && other && child);

    // Children are not searched; without a class or name the topmost window answers.
    EXPECT_EQ((std::vector{FindWindowW(u"desktopexplorerwindow", nullptr),
                           FindWindowW(u"DesktopExplorerWindow", u"DESKTOP"),
                           FindWindowW(u"DesktopExplorerWindow", u"Other"), FindWindowW(nullptr, u"other"),
                           FindWindowW(nullptr, u"Child"), FindWindowW(nullptr, nullptr)}),
              (std::vector<HWND>{desktop, desktop, nullptr, other, nullptr, other}));

    WCHAR name[8];
    EXPECT_EQ((std::pair{GetClassNameW(desktop, name, 8), std::u16string(name)}),
              std::pair(7, std::u16string(u"Desktop")));
    DestroyWindow(desktop);
    EXPECT_EQ(FindWindowW(u"DesktopExplorerWindow", nullptr), nullptr);
    EXPECT_TRUE(UnregisterClassW(u"DesktopExplorerWindow", nullptr));
}

}  // namespace
}  // namespace qf::test
