#include "today_shell.h"

#include <algorithm>
#include <cstdio>

namespace qf::emu {
namespace {

constexpr UINT_PTR kRefreshTimer = 1;
constexpr int kTitleBarHeightAt96Dpi = 26;

TodayShell* g_shell = nullptr;

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (g_shell == nullptr) return DefWindowProcW(window, message, wparam, lparam);
    return g_shell->HandleMessage(window, message, wparam, lparam);
}

template <size_t N>
void CopyCut(WCHAR (&target)[N], const std::u16string& text) {
    size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, target);
    target[length] = u'\0';
}

HFONT CreateTitleFont(int dpi) {
    LOGFONTW font{};
    font.lfHeight = -(dpi * 9 + 36) / 72;  // 9 points
    font.lfWeight = FW_BOLD;
    CopyCut(font.lfFaceName, u"Tahoma");
    return CreateFontIndirectW(&font);
}

}  // namespace

int TitleBarHeight(int dpi) { return kTitleBarHeightAt96Dpi * dpi / 96; }

TodayShell::TodayShell(const device::Profile& profile, TodayTheme theme) : profile_(profile), theme_(theme) {}

TodayShell::~TodayShell() { Destroy(); }

bool TodayShell::Create(std::string* error) {
    g_shell = this;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DesktopProc;
    window_class.lpszClassName = kDesktopClass;
    if (RegisterClassW(&window_class) == 0) {
        *error = "cannot register the Today screen's window class";
        return false;
    }
    desktop_ = CreateWindowExW(0, kDesktopClass, u"Desktop", WS_VISIBLE, 0, 0, profile_.screen_width,
                               profile_.screen_height, nullptr, nullptr, nullptr, nullptr);
    if (desktop_ == nullptr) {
        *error = "cannot create the Today screen's window";
        return false;
    }
    SetForegroundWindow(desktop_);
    SetTimer(desktop_, kRefreshTimer, kRefreshQueryIntervalMs, nullptr);
    return true;
}

bool TodayShell::AddItem(const std::u16string& name, const std::u16string& device_path,
                         const std::filesystem::path& library, bool enabled, std::string* error) {
    auto item = std::make_unique<Item>();
    item->name = WideToUtf8(name);
    item->module = PluginModule::Load(library, error);
    if (item->module == nullptr) return false;
    TODAYLISTITEM& record = item->record;
    CopyCut(record.szName, name);
    CopyCut(record.szDLLPath, device_path);
    record.tlit = tlitCustom;
    record.dwOrder = static_cast<DWORD>(items_.size());
    record.fEnabled = enabled ? TRUE : FALSE;
    record.hinstDLL = item->module->instance();
    item->window = item->module->initialize_item()(&record, desktop_);
    record.hwndCustom = item->window;
    items_.push_back(std::move(item));
    QueryRefresh();
    return true;
}

void TodayShell::AddWindowItem(const std::u16string& name, HWND window) {
    auto item = std::make_unique<Item>();
    item->name = WideToUtf8(name);
    CopyCut(item->record.szName, name);
    item->record.tlit = tlitCustom;
    item->record.dwOrder = static_cast<DWORD>(items_.size());
    item->record.fEnabled = TRUE;
    item->record.hwndCustom = window;
    item->window = window;
    items_.push_back(std::move(item));
    QueryRefresh();
}

std::vector<HWND> TodayShell::item_windows() const {
    std::vector<HWND> windows;
    for (const auto& item : items_) {
        if (item->window != nullptr) windows.push_back(item->window);
    }
    return windows;
}

void TodayShell::QueryRefresh() {
    bool changed = false;
    for (const auto& item : items_) {
        if (item->window == nullptr) continue;
        if (SendMessageW(item->window, WM_TODAYCUSTOM_QUERYREFRESHCACHE,
                         reinterpret_cast<WPARAM>(&item->record), 0) != 0) {
            changed = true;
        }
    }
    if (changed) Layout();
}

// Items stack below the title bar, each as high as it last reported, across the whole screen.
void TodayShell::Layout() {
    int top = TitleBarHeight(profile_.dpi);
    for (const auto& item : items_) {
        if (item->window == nullptr) continue;
        int height = static_cast<int>(item->record.cyp);
        MoveWindow(item->window, 0, top, profile_.screen_width, height, TRUE);
        top += height;
    }
}

void TodayShell::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(desktop_, &paint);
    if (dc == nullptr) {
        EndPaint(desktop_, &paint);
        return;
    }
    int title_height = TitleBarHeight(profile_.dpi);
    RECT title{0, 0, profile_.screen_width, title_height};
    HBRUSH title_brush = CreateSolidBrush(theme_.title_bar);
    FillRect(dc, &title, title_brush);
    DeleteObject(title_brush);
    RECT below{0, title_height, profile_.screen_width, profile_.screen_height};
    PaintWatermark(dc, below, 0, profile_.screen_height, theme_);

    SYSTEMTIME now{};
    GetLocalTime(&now);
    shown_minute_ = now.wMinute;
    char clock[8];
    std::snprintf(clock, sizeof(clock), "%02u:%02u", now.wHour % 100u, now.wMinute % 100u);

    HFONT font = CreateTitleFont(profile_.dpi);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, theme_.title_text);
    int margin = 6 * profile_.dpi / 96;
    RECT text{margin, 0, profile_.screen_width - margin, title_height};
    DrawTextW(dc, u"Start", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    DrawTextW(dc, Utf8ToWide(clock).c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    SelectObject(dc, previous);
    DeleteObject(font);
    EndPaint(desktop_, &paint);
}

void TodayShell::DrawWatermark(const TODAYDRAWWATERMARKINFO& info) const {
    RECT window{};
    if (!GetWindowRect(info.hwnd, &window)) return;
    PaintWatermark(info.hdc, info.rc, window.top, profile_.screen_height, theme_);
}

LRESULT TodayShell::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case TODAYM_GETCOLOR:
            return static_cast<LRESULT>(ThemeColor(theme_, wparam));
        case TODAYM_DRAWWATERMARK:
            if (lparam != 0) DrawWatermark(*reinterpret_cast<const TODAYDRAWWATERMARKINFO*>(lparam));
            return TRUE;
        case WM_TIMER:
            if (wparam == kRefreshTimer) {
                QueryRefresh();
                SYSTEMTIME now{};
                GetLocalTime(&now);
                if (now.wMinute != shown_minute_) InvalidateRect(desktop_, nullptr, FALSE);
            }
            return 0;
        case kScriptWakeMessage:
            if (script_handler_) script_handler_();
            return 0;
        case WM_CLOSE:
            // The host writes its screenshot and dump before the windows go.
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

void TodayShell::Destroy() {
    if (desktop_ != nullptr) {
        KillTimer(desktop_, kRefreshTimer);
        DestroyWindow(desktop_);
        desktop_ = nullptr;
    }
    // The libraries go after their windows, which they still served during WM_DESTROY.
    items_.clear();
    selected_ = -1;
    if (g_shell == this) {
        UnregisterClassW(kDesktopClass, nullptr);
        g_shell = nullptr;
    }
}

}  // namespace qf::emu
