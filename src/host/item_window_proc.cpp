// The item window's procedure: lifecycle, paint, timers and the Today screen's messages.
#include <todaycmn.h>

#include "common/settings_store.h"
#include "db/shell_effects.h"
#include "display/gdi_handles.h"
#include "display/item_paint.h"
#include "display/menu_fonts.h"
#include "display/screen_metrics.h"
#include "download/download_status.h"
#include "host/about.h"
#include "host/commands.h"
#include "host/download_control.h"
#include "host/library_state.h"
#include "host/menus.h"
#include "host/messages.h"
#include "host/navigation.h"
#include "host/refresh_cache.h"
#include "host/state_report.h"
#include "host/tap_handler.h"
#include "host/timers.h"
#include "host/top_level_window.h"
#include "host/window_classes.h"
#include "qfdevice/item_report.h"

namespace qf::host {
namespace {

// The skin also decides the scale factor of the layout.
void LoadTodaySkin(ItemWindow& item) {
    display::WindowDc dc(item.window);
    item.today_skin = display::LoadTodaySkin(
        display::TodaySkinFolders(Library().install_folder),
        display::MeasureScreen(dc.get(), Library().display.screen.logical_pixels()), Library().skin_scale);
    item.bitmaps = display::ItemBitmapsOf(item.today_skin);
}

void OnCreate(ItemWindow& item, HWND window) {
    item.window = window;
    item.top_level = FindTopLevelWindow();
    Library().display.screen.Cache();
    Library().display.menu_fonts.Build(window);
    if (Library().host_mode == display::HostMode::kToday) LoadTodaySkin(item);
    item.status_text = kBuildingStatus;
    SetTimer(window, kStartupTimer, kTimerIntervalMs, nullptr);
}

void OnDestroy(ItemWindow& item, HWND window) {
    device::ForgetItemState(window);
    // A run still going reports to nobody from now on; its notification has nobody to answer to.
    item.downloader->set_notify_window(nullptr);
    RemoveNotification(item);
    DeleteMenus(item);
    if (Library().host_mode == display::HostMode::kToday) {
        item.bitmaps = display::ItemBitmaps{};
        item.today_skin.Free();
    }
    Library().display.menu_fonts.Free();
    StopHeartbeat(item);
    UnregisterClassW(kItemClassName, item.instance);
    if (Library().host_mode == display::HostMode::kTab)
        UnregisterClassW(kControlStripClassName, item.instance);
    PublishItemWindow(nullptr);
}

// Deactivation stops the heartbeat unless a schedule needs it; any activation makes sure it runs.
void OnActivate(ItemWindow& item, WPARAM wparam) {
    if (item.suspended) {
        item.suspended = false;
        EnsureHeartbeat(item);
    } else if (LOWORD(wparam) == WA_INACTIVE) {
        if (!item.schedule_active) StopHeartbeat(item);
    } else {
        EnsureHeartbeat(item);
    }
}

void OnSuspend(ItemWindow& item) {
    if (item.suspended) return;
    item.suspended = true;
    if (!item.schedule_active) StopHeartbeat(item);
}

display::PaintInputs PaintInputsOf(const LibraryState& library, const ItemWindow& item) {
    display::PaintInputs inputs;
    inputs.host_mode = library.host_mode;
    inputs.item_selected = library.item_selected;
    inputs.themed_background = item.themed_background;
    inputs.font_size_name = item.font_size_name;
    inputs.item_height = item.item_height;
    inputs.scale = library.skin_scale;
    inputs.bitmaps = item.bitmaps;
    inputs.shadow_mode = item.shadow_mode;
    inputs.show_description = item.show_description;
    inputs.web_link_mode = item.web_link_mode;
    inputs.feed_list = item.feed_list;
    inputs.expanded = item.expanded;
    inputs.listing = library.listing.get();
    inputs.current_item_index = item.current_item_index;
    inputs.rows = &item.rows;
    display::ContentState& content = inputs.content;
    content.status_text = item.status_text;
    if (item.status_text == display::kAboutStatus) content.about_text = AboutText();
    content.database_unusable = item.database_unusable;
    content.database_message = item.database_message;
    content.current_view_index = item.current_view_index;
    content.listing_item_count = static_cast<int>(library.listing->listing().size());
    content.list_row_count = static_cast<int>(item.rows.size());
    content.list_mode = item.list_mode;
    content.details_shown = item.details_shown;
    return inputs;
}

void OnPaint(ItemWindow& item) {
    // The paint sends to the Today screen, which may ask for another paint before this one is done.
    if (item.paint_in_progress) return;
    struct InProgress {
        bool& flag;
        explicit InProgress(bool& f) : flag(f) { flag = true; }
        ~InProgress() { flag = false; }
    } in_progress(item.paint_in_progress);
    display::PaintItem(item.window, PaintInputsOf(Library(), item), item.paint);
}

// The Today screen moved its selection onto the item with the key `key`: only Up, Down or no key
// (a tap) select it.
LRESULT OnReceivedSelection(WPARAM key) {
    bool selected = key == VK_UP || key == VK_DOWN || key == 0;
    Library().item_selected = selected;
    return selected ? 1 : 0;
}

// Up and Down move inside the item, Left is the item's own; any other key gives the selection back.
LRESULT OnUserNavigation(ItemWindow& item, WPARAM key) {
    if (!Library().item_selected) return 0;
    switch (key) {
        case VK_UP:
            MoveSelectionUp(item);
            return 1;
        case VK_DOWN:
            MoveSelectionDown(item);
            return 1;
        case VK_LEFT:
            OpenMainMenu(item);
            return 1;
        default:
            Library().item_selected = false;
            return 0;
    }
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // The window outlived the library's state (a host that unloads before destroying): nothing to do.
    if (Library().item == nullptr) return DefWindowProcW(window, message, wparam, lparam);
    ItemWindow& item = Item();
    switch (message) {
        case WM_CREATE:
            OnCreate(item, window);
            break;
        case WM_DESTROY:
            OnDestroy(item, window);
            return 0;
        case WM_ACTIVATE:
            OnActivate(item, wparam);
            break;
        case WM_PAINT:
            // Not passed on: the default handling would start an empty frame over the one just drawn.
            OnPaint(item);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_WINDOWPOSCHANGED:
            return 0;
        case WM_DRAWITEM:
            DrawMenuItem(item, *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return 1;
        case WM_MEASUREITEM:
            MeasureMenuItem(item, *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
            return 1;
        case WM_COMMAND:
            OnCommand(item, LOWORD(wparam));
            break;
        case WM_TIMER:
            OnItemTimer(item, wparam);
            break;
        case WM_LBUTTONDOWN:
            OnPenDown(item, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
            break;
        case WM_MOUSEMOVE:
            OnPenMove(item, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
            break;
        case WM_LBUTTONUP:
            OnPenUp(item);
            break;
        case kSuspendHeartbeatMessage:
            OnSuspend(item);
            break;
        case kDownloadStatusMessage:
            return OnDownloadStatus(item, wparam, lparam);
        case kReleaseDatabaseMessage:
            // Closing gives up the lock too; the next database operation reconnects.
            Listing().database().Close();
            return kDatabaseReleased;
        case WM_TODAYCUSTOM_QUERYREFRESHCACHE:
            return AnswerRefreshCache(item, reinterpret_cast<TODAYLISTITEM*>(wparam));
        case WM_TODAYCUSTOM_RECEIVEDSELECTION:
            return OnReceivedSelection(wparam);
        case WM_TODAYCUSTOM_LOSTSELECTION:
            Library().item_selected = false;
            return 1;
        case WM_TODAYCUSTOM_USERNAVIGATION:
            return OnUserNavigation(item, wparam);
        case WM_TODAYCUSTOM_ACTION:
            if (Library().item_selected) ActivateSelection(item);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

LRESULT CALLBACK ItemWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        LRESULT result = HandleMessage(window, message, wparam, lparam);
        // One report after every message keeps the host's view current without tracking each field.
        if (message != WM_DESTROY && Library().item != nullptr) ReportState(Item());
        return result;
    } catch (...) {
        // Out of memory while handling one message: drop the message rather than the host.
        return 0;
    }
}

}  // namespace qf::host
