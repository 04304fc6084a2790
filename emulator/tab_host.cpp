#include "tab_host.h"

#include <todaycmn.h>

#include <type_traits>

namespace qf::emu {
namespace {

constexpr int kTabRowHeight = 20;
constexpr int kControlAreaHeight = 22;
constexpr int kStripHeight = 20;
constexpr char16_t kTabCaption[] = u"Quillfeed";
constexpr COLORREF kTabRowColor = RGB(226, 232, 244);
constexpr COLORREF kTabColor = RGB(255, 255, 255);
constexpr COLORREF kControlAreaColor = RGB(210, 220, 238);

constexpr char16_t kSettingsKey[] = u"Software\\SBSH\\PocketBreeze";

TabHost* g_host = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (g_host == nullptr) return DefWindowProcW(window, message, wparam, lparam);
    return g_host->HandleMessage(window, message, wparam, lparam);
}

void Fill(HDC dc, const RECT& area, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

bool HasValue(HKEY key, const char16_t* name) {
    return RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace

DWORD OfferTabHostSettings(const TabHostSettings& settings) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, 0, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return settings.vga_mode.value_or(0);
    if (settings.selected_skin || !HasValue(key, u"dSelectedSkin")) {
        std::u16string skin = settings.selected_skin.value_or(u"");
        RegSetValueExW(key, u"dSelectedSkin", 0, REG_SZ, reinterpret_cast<const BYTE*>(skin.c_str()),
                       static_cast<DWORD>((skin.size() + 1) * sizeof(char16_t)));
    }
    if (settings.vga_mode || !HasValue(key, u"MyVgaMode")) {
        DWORD wanted = settings.vga_mode.value_or(0);
        RegSetValueExW(key, u"MyVgaMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&wanted),
                       sizeof(wanted));
    }
    DWORD vga_mode = 0;
    DWORD size = sizeof(vga_mode);
    RegQueryValueExW(key, u"MyVgaMode", nullptr, nullptr, reinterpret_cast<BYTE*>(&vga_mode), &size);
    RegCloseKey(key);
    return vga_mode;
}

struct TabHost::Exports {
    using CreateTab = HWND (*)(HWND, int, int, int, int, int, int, int, int, HWND*, BYTE);
    using Action = void (*)();
    using Version = int (*)();
    using Move = void (*)(int, int, int, int);
    using HotKey = int (*)(BYTE);
    using About = BOOL (*)();
    using Settings = int (*)();

    CreateTab create_tab = nullptr;
    Action destroy_tab = nullptr;
    Action show_tab = nullptr;
    Action hide_tab = nullptr;
    Version api_version = nullptr;
    Move move_window = nullptr;
    HotKey hot_key_down = nullptr;
    HotKey hot_key_up = nullptr;
    HotKey hot_key_enter = nullptr;
    About show_about = nullptr;
    Settings show_settings = nullptr;

    // The name of the first export the library lacks; empty when it has them all.
    std::string Find(const PluginModule& module) {
        std::string missing;
        auto find = [&](auto& function, const char* name) {
            function = module.Export<std::remove_reference_t<decltype(function)>>(name);
            if (function == nullptr && missing.empty()) missing = name;
        };
        find(create_tab, "fnCreateTab");
        find(destroy_tab, "fnDestroyTab");
        find(show_tab, "fnShowTab");
        find(hide_tab, "fnHideTab");
        find(api_version, "fnGetAPIVersion");
        find(move_window, "fnMoveWindow");
        find(hot_key_down, "fnDoHotKeyDown");
        find(hot_key_up, "fnDoHotKeyUp");
        find(hot_key_enter, "fnDoHotKeyEnter");
        find(show_about, "fnShowAbout");
        find(show_settings, "fnShowSettings");
        return missing;
    }
};

int TabHostScale(const device::Profile& profile, DWORD vga_mode) {
    constexpr int kVgaSide = 640;
    bool vga_screen = profile.screen_width == kVgaSide || profile.screen_height == kVgaSide;
    if ((profile.dpi + 48) / 96 > 1) return 2;
    return vga_screen && vga_mode != 0 ? 2 : 1;
}

TabHostLayout LayOutTabHost(int width, int height, int scale) {
    auto px = [scale](int unscaled) { return unscaled * scale; };
    TabHostLayout layout;
    layout.tab_row_height = px(kTabRowHeight);
    int control_top = height - px(kControlAreaHeight);
    layout.item = RECT{0, layout.tab_row_height, width, control_top};
    int strip_top = control_top + (px(kControlAreaHeight) - px(kStripHeight)) / 2;
    layout.control_strip = RECT{0, strip_top, width, strip_top + px(kStripHeight)};
    return layout;
}

TabHost::TabHost(TodayShell& shell, const device::Profile& profile) : shell_(shell), profile_(profile) {}

TabHost::~TabHost() { Destroy(); }

bool TabHost::Create(const std::filesystem::path& library, const TabHostSettings& settings,
                     std::string* error) {
    int scale = TabHostScale(profile_, OfferTabHostSettings(settings));
    g_host = this;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = HostProc;
    window_class.lpszClassName = kTabHostClass;
    if (RegisterClassW(&window_class) == 0) {
        *error = "cannot register the tab host's window class";
        return false;
    }
    int top = TitleBarHeight(profile_.dpi);
    int height = profile_.screen_height - top;
    window_ = CreateWindowExW(0, kTabHostClass, u"PocketBreeze", WS_CHILD | WS_VISIBLE, 0, top,
                              profile_.screen_width, height, shell_.desktop(), nullptr, nullptr, nullptr);
    if (window_ == nullptr) {
        *error = "cannot create the tab host's window";
        return false;
    }
    layout_ = LayOutTabHost(profile_.screen_width, height, scale);
    shell_.AddWindowItem(u"PocketBreeze", window_);

    module_ = PluginModule::Load(library, error);
    if (module_ == nullptr) return false;
    exports_ = std::make_unique<Exports>();
    if (std::string missing = exports_->Find(*module_); !missing.empty()) {
        *error = library.string() + " exports no " + missing;
        return false;
    }
    api_version_ = exports_->api_version();
    const RECT& item = layout_.item;
    const RECT& strip = layout_.control_strip;
    item_ = exports_->create_tab(window_, item.left, item.top, item.right - item.left, item.bottom - item.top,
                                 strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top,
                                 &control_strip_, 0);
    if (item_ == nullptr) {
        *error = "the plug-in created no tab";
        return false;
    }
    exports_->show_tab();
    return true;
}

void TabHost::PressHotKey(HotKey key, KeyTransition transition) {
    if (exports_ == nullptr || item_ == nullptr) return;
    BYTE pressed = transition == KeyTransition::kPressed ? 1 : 0;
    switch (key) {
        case HotKey::kF5:
            exports_->hot_key_up(pressed);
            break;
        case HotKey::kF6:
            exports_->hot_key_down(pressed);
            break;
        case HotKey::kF7:
            exports_->hot_key_enter(pressed);
            break;
    }
}

bool TabHost::Run(const TabCommand& command, std::string* error) {
    if (exports_ == nullptr || item_ == nullptr) {
        *error = "no tab is loaded";
        return false;
    }
    switch (command.action) {
        case TabAction::kHotKeyUp:
            exports_->hot_key_up(1);
            break;
        case TabAction::kHotKeyDown:
            exports_->hot_key_down(1);
            break;
        case TabAction::kHotKeyEnter:
            exports_->hot_key_enter(1);
            break;
        case TabAction::kShow:
            exports_->show_tab();
            break;
        case TabAction::kHide:
            exports_->hide_tab();
            break;
        case TabAction::kResize:
            exports_->move_window(layout_.item.left, layout_.item.top, command.width, command.height);
            break;
        case TabAction::kAbout:
            exports_->show_about();
            break;
        case TabAction::kSettings:
            exports_->show_settings();
            break;
    }
    return true;
}

void TabHost::AddToDump(StateDump& dump) const {
    if (item_ != nullptr) dump.items.push_back(DumpWindow(item_, "Quillfeed Today"));
    if (control_strip_ != nullptr)
        dump.tab = DumpedTab{api_version_, DumpWindow(control_strip_, "control strip")};
}

// The D-pad reaches the tab as its hot keys while the host holds the Today selection; left and right
// move the selection on to the Today screen.
LRESULT TabHost::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_TODAYCUSTOM_QUERYREFRESHCACHE: {
            auto* record = reinterpret_cast<TODAYLISTITEM*>(wparam);
            RECT client{};
            GetClientRect(window, &client);
            if (record == nullptr || static_cast<LONG>(record->cyp) == client.bottom) return FALSE;
            record->cyp = static_cast<DWORD>(client.bottom);
            return TRUE;
        }
        case WM_TODAYCUSTOM_RECEIVEDSELECTION:
        case WM_TODAYCUSTOM_LOSTSELECTION:
            return 1;
        case WM_TODAYCUSTOM_USERNAVIGATION:
            if (exports_ == nullptr || (wparam != VK_UP && wparam != VK_DOWN)) return 0;
            (wparam == VK_UP ? exports_->hot_key_up : exports_->hot_key_down)(1);
            return 1;
        case WM_TODAYCUSTOM_ACTION:
            if (exports_ != nullptr) exports_->hot_key_enter(1);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

// The tab row with the one tab, and the control area; the tab's own windows cover the rest.
void TabHost::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    if (dc != nullptr) {
        RECT client{};
        GetClientRect(window_, &client);
        RECT row{0, 0, client.right, layout_.tab_row_height};
        Fill(dc, row, kTabRowColor);
        int tab_width = client.right / 3;
        RECT tab{0, 0, tab_width, layout_.tab_row_height};
        Fill(dc, tab, kTabColor);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        DrawTextW(dc, kTabCaption, -1, &tab, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        RECT controls{0, layout_.item.bottom, client.right, client.bottom};
        Fill(dc, controls, kControlAreaColor);
    }
    EndPaint(window_, &paint);
}

void TabHost::Destroy() {
    // The plug-in's windows go first, while its library is still loaded.
    if (exports_ != nullptr && item_ != nullptr) exports_->destroy_tab();
    item_ = control_strip_ = nullptr;
    exports_.reset();
    module_.reset();
    if (window_ != nullptr) {
        DestroyWindow(window_);
        window_ = nullptr;
    }
    if (g_host == this) {
        UnregisterClassW(kTabHostClass, nullptr);
        g_host = nullptr;
    }
}

}  // namespace qf::emu
