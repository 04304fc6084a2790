// The control strip beside the item window in tab mode: it loads the tab host's skin (which the item
// window then draws too), paints the menu button and the current view's name, answers the Today screen's
// refresh query like the item window, opens the main menu (left part) and the views menu (the rest) on a
// tap, and hands commands and menu records to the item window.
#include <todaycmn.h>

#include "display/control_strip_paint.h"
#include "display/gdi_handles.h"
#include "host/commands.h"
#include "host/library_state.h"
#include "host/menus.h"
#include "host/refresh_cache.h"
#include "host/window_classes.h"

namespace qf::host {
namespace {

// The skin also decides the scale factor of the layout, for the item window as well.
void OnStripCreate(ItemWindow& item, HWND window) {
    LibraryState& library = Library();
    display::WindowDc dc(window);
    item.tab_skin =
        display::LoadTabSkin(display::TabSkinFolders(library.install_folder),
                             display::MeasureScreen(dc.get(), library.display.screen.logical_pixels()),
                             display::TabHostVgaMode(), library.skin_scale);
    item.alpha_blend = display::AlphaBlendLibrary::Load(library.install_folder);
    item.strip_bitmaps = display::ControlStripBitmaps::Load(item.instance);
    item.bitmaps = display::ItemBitmapsOf(item.tab_skin);
    item.bitmaps.alpha_blend = &item.alpha_blend;
}

void OnStripPaint(const ItemWindow& item, HWND window) {
    display::StripPaintInputs inputs;
    inputs.scale = Library().skin_scale;
    inputs.view_name = item.current_view_name;
    inputs.skin = &item.tab_skin;
    inputs.alpha_blend = &item.alpha_blend;
    inputs.own_bitmaps = &item.strip_bitmaps;
    display::PaintControlStrip(window, inputs);
}

// While a run is active the strip ignores taps; the item window offers the cancel.
void OnStripTap(ItemWindow& item, int x) {
    if (item.downloading) return;
    if (x < display::kStripMenuButtonWidth * Library().skin_scale.scale_factor) {
        OpenMainMenu(item);
    } else {
        OpenViewsMenu(item);
    }
}

LRESULT HandleStripMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ItemWindow& item = Item();
    switch (message) {
        case WM_CREATE:
            OnStripCreate(item, window);
            break;
        case WM_PAINT:
            OnStripPaint(item, window);
            return 0;
        case WM_DESTROY:
        case WM_WINDOWPOSCHANGED:
            return 0;
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
