// The control strip beside the item window in tab mode. Its look comes with the tab host's skin; until
// then it answers the Today screen's refresh query like the item window, opens the main menu (left
// part) and the views menu (the rest) on a tap, and hands commands and menu records to the item window.
#include <todaycmn.h>

#include "host/commands.h"
#include "host/library_state.h"
#include "host/menus.h"
#include "host/refresh_cache.h"
#include "host/window_classes.h"

namespace qf::host {
namespace {

constexpr int kMenuButtonWidth = 35;

// While a run is active the strip ignores taps; the item window offers the cancel.
void OnStripTap(ItemWindow& item, int x) {
    if (item.downloading) return;
    if (x < kMenuButtonWidth * Library().skin_scale.scale_factor) {
        OpenMainMenu(item);
    } else {
        OpenViewsMenu(item);
    }
}

LRESULT HandleStripMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ItemWindow& item = Item();
    switch (message) {
        case WM_TODAYCUSTOM_QUERYREFRESHCACHE:
            return AnswerRefreshCache(item, reinterpret_cast<TODAYLISTITEM*>(wparam));
        case WM_ERASEBKGND:
            return 1;
        case WM_DRAWITEM:
            DrawMenuItem(item, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return 1;
        case WM_MEASUREITEM:
            MeasureMenuItem(item, *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
            return 1;
        case WM_COMMAND:
            OnCommand(item, LOWORD(wparam));
            break;
        case WM_LBUTTONDOWN:
            OnStripTap(item, GET_X_LPARAM(lparam));
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

LRESULT CALLBACK ControlStripProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        return HandleStripMessage(window, message, wparam, lparam);
    } catch (...) {
        return 0;
    }
}

}  // namespace qf::host
