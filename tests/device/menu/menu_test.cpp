// Popup menus, in the manner of Wine's user32 menu tests: an owner window records the messages it gets,
// a host hook answers the menu with taps and keys, and the sequences are compared whole.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "qfdevice/menu_host.h"
#include "support/temp_device.h"
#include "support/watchdog.h"
#include "window/menu_layout.h"
#include "windows.h"

namespace qf::test {
namespace {

using device::MenuEntryInfo;
using device::TrackedMenu;

struct Seen {
    UINT message;
    WPARAM wparam;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> g_seen;
std::vector<DRAWITEMSTRUCT> g_draws;
std::function<void(UINT)> g_on_timer;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP:
        case WM_INITMENUPOPUP:
        case WM_COMMAND:
            g_seen.push_back({message, wparam});
            return 0;
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
            g_seen.push_back({message, measure->itemData});
            measure->itemWidth = 80;
            measure->itemHeight = 20;
            return TRUE;
        }
        case WM_DRAWITEM:
            g_draws.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_TIMER:
            if (g_on_timer) g_on_timer(static_cast<UINT>(wparam));
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

// The entry of the tracked menu (or of its open submenus) with that text.
const MenuEntryInfo* Find(const std::vector<MenuEntryInfo>& entries, const std::u16string& text) {
    for (const MenuEntryInfo& entry : entries) {
        if (entry.text == text) return &entry;
        if (const MenuEntryInfo* inner = Find(entry.submenu, text)) return inner;
    }
    return nullptr;
}

// A pen tap on the entry, as the emulator gives one: down and up on the popup window under the point.
void TapEntry(const std::u16string& text) {
    const std::optional<device::TrackedMenuInfo> tracked = TrackedMenu();  // kept: `entry` points into it
    ASSERT_TRUE(tracked);
    const MenuEntryInfo* entry = Find(tracked->entries, text);
    ASSERT_NE(entry, nullptr);
    ASSERT_FALSE(IsRectEmpty(&entry->screen_rect)) << "the entry's popup is not open";
    POINT point{(entry->screen_rect.left + entry->screen_rect.right) / 2,
                (entry->screen_rect.top + entry->screen_rect.bottom) / 2};
    HWND popup = WindowFromPoint(point);
    ScreenToClient(popup, &point);
    PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    PostMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void PressKeys(std::initializer_list<UINT> keys, HWND target) {
    for (UINT key : keys) PostMessageW(target, WM_KEYDOWN, key, 0);
}

class Menus : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = OwnerProc;
        window_class.lpszClassName = u"QfMenuOwner";
        RegisterClassW(&window_class);
        owner_ = NewOwner();
        // Main: "Reload" (1), separator, "Views" > {"Feed List" (2040, checked), "Gray" (7, grayed)},
        // "Owner" (9, owner-drawn with item data 0x55).
        views_ = CreatePopupMenu();
        AppendMenuW(views_, MF_STRING | MF_CHECKED, 2040, u"Feed List");
        AppendMenuW(views_, MF_STRING | MF_GRAYED, 7, u"Gray");
        menu_ = CreatePopupMenu();
        AppendMenuW(menu_, MF_STRING, 1, u"Reload");
        AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(views_), u"Views");
        AppendMenuW(menu_, MF_OWNERDRAW, 9, reinterpret_cast<LPCWSTR>(0x55));
        g_seen.clear();
        g_draws.clear();
        g_on_timer = nullptr;
    }
    void TearDown() override {
        device::SetMenuHook(nullptr);
        DestroyMenu(menu_);
        DestroyWindow(owner_);
        UnregisterClassW(u"QfMenuOwner", nullptr);
        while (PeekMessageW(nullptr, nullptr, 0, 0, PM_REMOVE)) continue;
    }

    static HWND NewOwner() {
        return CreateWindowExW(0, u"QfMenuOwner", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                               nullptr);
    }

    // Installs a hook that runs the next action each time a popup opens.
    void Answer(std::deque<std::function<void()>> actions) {
        actions_ = std::move(actions);
        device::SetMenuHook([this](HMENU) {
            if (actions_.empty()) return;
            std::function<void()> action = std::move(actions_.front());
            actions_.pop_front();
            action();
        });
    }

    // The messages the owner got, with WM_COMMAND delivered by pumping afterwards.
    static std::vector<Seen> Delivered() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        return g_seen;
    }

    TempDevice device_;
    Watchdog watchdog_{std::chrono::seconds(60), "a tracked menu"};
    HWND owner_ = nullptr;
    HMENU menu_ = nullptr;
    HMENU views_ = nullptr;
    std::deque<std::function<void()>> actions_;
};

WPARAM W(HMENU menu) { return reinterpret_cast<WPARAM>(menu); }

MENUITEMINFOW InfoFor(UINT mask) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    return info;
}

TEST_F(Menus, PenOrKeysChooseInASubmenuAndTheCommandIsPostedOrAnswered) {
    Answer({[] { TapEntry(u"Views"); }, [] { TapEntry(u"Feed List"); }});
    EXPECT_EQ(TrackPopupMenuEx(menu_, TPM_LEFTALIGN, 10, 30, owner_, nullptr), TRUE);
    EXPECT_EQ(Delivered(), (std::vector<Seen>{{WM_ENTERMENULOOP, TRUE},
                                              {WM_INITMENUPOPUP, W(menu_)},
                                              {WM_MEASUREITEM, 0x55},
                                              {WM_INITMENUPOPUP, W(views_)},
                                              {WM_EXITMENULOOP, TRUE},
                                              {WM_COMMAND, 2040}}));
    // The owner-drawn entry was drawn when the menu opened; highlighting "Views" redrew only that entry.
    ASSERT_EQ(g_draws.size(), 1u);
    const DRAWITEMSTRUCT& draw = g_draws[0];
    EXPECT_EQ(
        std::tuple(draw.CtlType, draw.itemID, draw.itemData, draw.itemAction, draw.itemState, draw.hwndItem),
        std::tuple(UINT{ODT_MENU}, 9u, ULONG_PTR{0x55}, UINT{ODA_DRAWENTIRE}, 0u,
                   reinterpret_cast<HWND>(menu_)));
    EXPECT_EQ(FindWindowW(u"#32768", nullptr), nullptr);  // the popups are gone

    std::optional<device::TrackedMenuInfo> last = TrackedMenu();
    ASSERT_TRUE(last);
    EXPECT_EQ(std::tuple(last->state, last->chosen_id, last->popups.size()),
              std::tuple(device::MenuTrackState::kChosen, 2040u, size_t{0}));
    ASSERT_EQ(last->entries.size(), 4u);
    const auto& entries = last->entries;
    EXPECT_TRUE(entries[1].separator && entries[2].has_submenu && entries[2].submenu[0].checked &&
                entries[2].submenu[1].grayed && entries[3].owner_drawn);
    EXPECT_TRUE(IsRectEmpty(&last->entries[0].screen_rect));

    // A tap on the owner-drawn entry redraws it highlighted, then chooses it.
    MENUITEMINFOW info = InfoFor(MIIM_STRING);
    info.dwTypeData = const_cast<LPWSTR>(u"Owner");
    ASSERT_TRUE(SetMenuItemInfoW(menu_, 9, FALSE, &info));
    g_seen.clear();
    g_draws.clear();
    Answer({[] { TapEntry(u"Owner"); }});
    EXPECT_TRUE(TrackPopupMenu(menu_, 0, 10, 30, 0, owner_, nullptr));
    EXPECT_EQ(Delivered().back(), (Seen{WM_COMMAND, 9}));
    ASSERT_EQ(g_draws.size(), 2u);
    EXPECT_EQ(std::pair(g_draws[1].itemAction, g_draws[1].itemState),
              std::pair(UINT{ODA_SELECT}, UINT{ODS_SELECTED}));

    // Keys walk the menu, and TPM_RETURNCMD answers the choice instead of posting it.
    g_seen.clear();
    auto to_views = [this] { PressKeys({VK_DOWN, VK_DOWN, VK_RIGHT}, owner_); };
    Answer({to_views, [this] { PressKeys({VK_DOWN, VK_RETURN, VK_UP, VK_RETURN}, owner_); }});
    // Down twice skips the separator to "Views"; in the submenu "Gray" cannot be chosen, "Feed List" can.
    EXPECT_EQ(TrackPopupMenuEx(menu_, TPM_RETURNCMD | TPM_NONOTIFY, 10, 30, owner_, nullptr), 2040);
    EXPECT_EQ(Delivered(), (std::vector<Seen>{{WM_MEASUREITEM, 0x55}}));
}

TEST_F(Menus, EveryWayOfCancelling) {
    struct Case {
        const char* name;
        std::function<void()> answer;
    };
    std::vector<Case> cases = {
        {"no host hook", [] { device::SetMenuHook(nullptr); }},
        {"EndMenu", [this] { Answer({[] { EXPECT_TRUE(EndMenu()); }}); }},
        {"Escape", [this] { Answer({[this] { PressKeys({VK_ESCAPE}, owner_); }}); }},
        {"tap outside",
         [this] {
             Answer({[this] { PostMessageW(owner_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 300)); }});
         }},
        {"owner destroyed", [this] { Answer({[this] { PostMessageW(owner_, WM_CLOSE, 0, 0); }}); }},
        {"quit", [this] { Answer({[] { PostQuitMessage(3); }}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_seen.clear();
        if (!IsWindow(owner_)) owner_ = NewOwner();
        c.answer();
        EXPECT_EQ(TrackPopupMenuEx(menu_, TPM_RETURNCMD, 10, 30, owner_, nullptr), 0);
        EXPECT_EQ(TrackedMenu()->state, device::MenuTrackState::kCancelled);
        if (IsWindow(owner_)) {
            EXPECT_EQ(g_seen.back().message, UINT{WM_EXITMENULOOP});
        }
        MSG msg{};
        bool quit = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_EQ(quit, std::string(c.name) == "quit");  // WM_QUIT stays for the caller's own loop
        EXPECT_FALSE(EndMenu());
    }
}

TEST_F(Menus, TimersRunWhileTheMenuWaitsAndOnlyOneMenuAtATime) {
    int ticks = 0;
    g_on_timer = [&](UINT) {
        EXPECT_EQ((std::pair{TrackPopupMenuEx(menu_, 0, 0, 0, owner_, nullptr), GetLastError()}),
                  std::pair(FALSE, DWORD{ERROR_POPUP_ALREADY_ACTIVE}));
        if (++ticks == 3) EndMenu();
    };
    Answer({[this] { SetTimer(owner_, 5, 10, nullptr); }});
    EXPECT_TRUE(TrackPopupMenuEx(menu_, 0, 10, 30, owner_, nullptr));
    KillTimer(owner_, 5);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(TrackPopupMenuEx(nullptr, 0, 0, 0, owner_, nullptr));
    EXPECT_FALSE(TrackPopupMenuEx(menu_, 0, 0, 0, nullptr, nullptr));
}

TEST(MenuPlacement, AlignedFlippedAndKeptOnTheScreen) {
    using device::wm::PlaceMenu;
    using device::wm::PlaceSubmenu;
    const SIZE screen{240, 320};
    const SIZE menu{100, 80};
    struct Case {
        POINT at;
        UINT flags;
        RECT expected;
    };
    for (const Case& c : std::vector<Case>{
             {{10, 30}, TPM_LEFTALIGN | TPM_TOPALIGN, {10, 30, 110, 110}},
             {{120, 30}, TPM_CENTERALIGN, {70, 30, 170, 110}},
             {{120, 30}, TPM_RIGHTALIGN, {20, 30, 120, 110}},
             {{10, 200}, TPM_VCENTERALIGN, {10, 160, 110, 240}},
             {{10, 200}, TPM_BOTTOMALIGN, {10, 120, 110, 200}},
             {{200, 30}, TPM_LEFTALIGN, {140, 30, 240, 110}},  // kept inside on the right
             {{10, 300}, TPM_TOPALIGN, {10, 220, 110, 300}},   // flipped above the point
             {{10, 240}, TPM_TOPALIGN, {10, 240, 110, 320}},   // fits exactly: not flipped
             {{10, 40}, TPM_BOTTOMALIGN, {10, 0, 110, 80}},    // kept inside at the top
         }) {
        RECT placed = PlaceMenu(c.at, c.flags, menu, screen);
        EXPECT_TRUE(EqualRect(&placed, &c.expected)) << c.at.x << "," << c.at.y << " flags " << c.flags;
    }
    auto edges = [](RECT r) { return std::tuple(r.left, r.top, r.right, r.bottom); };
    EXPECT_EQ(edges(PlaceSubmenu({10, 30, 110, 110}, 42, {60, 40}, screen, 2)),
              std::tuple(108, 70, 168, 110));
    EXPECT_EQ(edges(PlaceSubmenu({150, 30, 240, 110}, 42, {60, 40}, screen, 2)),
              std::tuple(92, 70, 152, 110));
    // Over the parent's edge rather than off the screen, and kept above the screen's bottom.
    EXPECT_EQ(std::pair(PlaceSubmenu({10, 30, 200, 110}, 42, {60, 40}, screen, 2).left,
                        PlaceSubmenu({10, 200, 110, 320}, 100, {60, 40}, screen, 2).bottom),
              std::pair(180, 320));
}

}  // namespace
}  // namespace qf::test
