// A Today item for the emulator's own tests: it opens the popup menus, message boxes, notifications and
// launches that scripts must be able to answer, and reports what happened as its status text.
//   tap left half  -> owner-drawn menu: "Reload Feed Data", separator, "Views" > {"Feed List" (checked),
//                     "Today"}, "Help" (launches \help.htm), "Gray" (grayed), "Cancel"
//   tap right half -> message box "Really?" with Yes and No
//   Enter          -> the scheduled-download notification with "Download Now" (10) and "Cancel" (11)
//   the pen moved while down -> "drag X Y"; the selection received -> "selected"
#include <todaycmn.h>

#include <memory>
#include <string>

#include "display/menu_fonts.h"
#include "display/owner_drawn_menu.h"
#include "qfdevice/item_report.h"

namespace {

using qf::display::MenuCheck;
using qf::display::MenuEnable;
using qf::display::OwnerDrawnMenu;

constexpr char16_t kClass[] = u"QfProbeItem";
constexpr CLSID kClsid{0xDC4EA9AC, 0xFF54, 0x4D57, {0x9B, 0x63, 0xA6, 0xBD, 0xD6, 0x2C, 0x97, 0xD8}};
constexpr int kHeight = 40;

qf::display::MenuFonts g_fonts;
std::unique_ptr<OwnerDrawnMenu> g_menu;
bool g_selected = false;

void Report(HWND window, const std::u16string& status) {
    qf::device::ItemState state;
    state.window = window;
    state.status_text = status;
    qf::device::ReportItemState(state);
    SetWindowTextW(window, status.c_str());
    InvalidateRect(window, nullptr, TRUE);
}

void OpenMenu(HWND window, POINT at) {
    qf::display::MenuLook look;
    look.colors = qf::display::TodayMenuColors(GetParent(window));
    look.fonts = &g_fonts;
    g_menu = std::make_unique<OwnerDrawnMenu>(look);
    g_menu->AddCommand(2003, u"Reload Feed Data");
    g_menu->AddSeparator();
    OwnerDrawnMenu* views = g_menu->AddSubmenu(u"Views");
    views->AddCommand(2040, u"Feed List", MenuCheck::kChecked);
    views->AddCommand(4100, u"Today");
    g_menu->AddCommand(2002, u"Help");
    g_menu->AddCommand(2009, u"Gray", MenuCheck::kUnchecked, MenuEnable::kGrayed);
    g_menu->AddCommand(2001, u"Cancel");
    ClientToScreen(window, &at);
    g_menu->Track(window, at);
}

void Notify(HWND window) {
    SHNOTIFICATIONDATA data{};
    data.cbStruct = sizeof(data);
    data.dwID = 4510;
    data.npPriority = SHNP_INFORM;
    data.csDuration = 30;
    data.clsid = kClsid;
    data.hwndSink = window;
    data.pszTitle = u"Quillfeed Notification";
    data.pszHTML =
        u"<html><body><p>Ready to download.</p><p align=right><input type=button name='cmd:10' "
        u"value='Download Now'> <input type=button name='cmd:11' value='Cancel'></p></body></html>";
    SHNotificationAdd(&data);
}

void OnCommand(HWND window, UINT id) {
    g_menu.reset();
    if (id == 10 || id == 11) SHNotificationRemove(&kClsid, 4510);
    if (id == 2002) {
        SHELLEXECUTEINFO info{};
        info.cbSize = sizeof(info);
        info.lpVerb = u"open";
        info.lpFile = u"\\Windows\\iexplore.exe";
        info.lpParameters = u"\\help.htm";
        ShellExecuteEx(&info);
    }
    Report(window, u"command " + qf::Utf8ToWide(std::to_string(id)));
}

void Paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    WCHAR text[64] = {};
    GetWindowTextW(window, text, 64);
    DrawTextW(dc, text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    EndPaint(window, &paint);
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            g_fonts.Build(window);
            Report(window, u"ready");
            return 0;
        case WM_DESTROY:
            qf::device::ForgetItemState(window);
            g_fonts.Free();
            return 0;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_LBUTTONDOWN: {
            POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
            if (at.x < 120) {
                OpenMenu(window, at);
            } else {
                int answer = MessageBoxW(window, u"Really?", u"Probe", MB_YESNO);
                Report(window, u"answer " + qf::Utf8ToWide(std::to_string(answer)));
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            if ((wparam & MK_LBUTTON) != 0) {
                Report(window, qf::Utf8ToWide("drag " + std::to_string(GET_X_LPARAM(lparam)) + " " +
                                              std::to_string(GET_Y_LPARAM(lparam))));
            }
            return 0;
        case WM_MEASUREITEM:
            return g_menu && g_menu->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
        case WM_DRAWITEM:
            return g_menu && g_menu->DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
        case WM_COMMAND:
            OnCommand(window, LOWORD(wparam));
            return 0;
        case WM_TODAYCUSTOM_QUERYREFRESHCACHE: {
            auto* item = reinterpret_cast<TODAYLISTITEM*>(wparam);
            bool changed = item->cyp != kHeight;
            item->cyp = kHeight;
            return changed;
        }
        case WM_TODAYCUSTOM_RECEIVEDSELECTION:
            g_selected = true;
            Report(window, u"selected");
            return 1;
        case WM_TODAYCUSTOM_LOSTSELECTION:
            g_selected = false;
            return 1;
        case WM_TODAYCUSTOM_USERNAVIGATION:
            return g_selected && (wparam == VK_UP || wparam == VK_DOWN);
        case WM_TODAYCUSTOM_ACTION:
            Notify(window);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

extern "C" HWND InitializeCustomItem(TODAYLISTITEM* item, HWND parent) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = ProbeProc;
    window_class.lpszClassName = kClass;
    RegisterClassW(&window_class);
    return CreateWindowExW(0, kClass, u"", WS_CHILD | WS_VISIBLE, 0, 0, 240, kHeight, parent, nullptr,
                           item->hinstDLL, nullptr);
}
