#include "common/settings_store.h"
#include "common/system_info.h"
#include "display/screen_metrics.h"
#include "host/about.h"
#include "host/entry_points.h"
#include "host/launch.h"
#include "host/library_state.h"
#include "host/navigation.h"
#include "host/timers.h"
#include "host/window_classes.h"

namespace qf::host {
namespace {

// The tab API version this library was written against.
constexpr int kTabApiVersion = 1;

HWND CreateChild(const char16_t* class_name, const char16_t* window_name, const TabRect& rect, HWND parent,
                 HINSTANCE instance) {
    return CreateWindowExW(0, class_name, window_name, WS_CHILD | WS_VISIBLE, rect.x, rect.y, rect.width,
                           rect.height, parent, nullptr, instance, nullptr);
}

bool ItemExists() { return Library().item != nullptr && Item().window != nullptr; }

}  // namespace

HWND CreateTab(HWND parent, const TabRect& item_rect, const TabRect& strip_rect, HWND* control_strip) {
    LibraryState& library = Library();
    ItemWindow& item = Item();
    library.host_mode = display::HostMode::kTab;
    item.ResetForNewWindow(item_rect.height);
    item.instance = OwnModule();  // the tab host passes no instance handle
    item.themed_background = DetectPlatform();
    library.display.screen.Cache();
    if (!RegisterItemClass(item.instance)) return nullptr;
    HWND window = CreateChild(kItemClassName, kItemWindowName, item_rect, parent, item.instance);
    if (window == nullptr) return nullptr;
    PublishItemWindow(window);
    if (RegisterControlStripClass(item.instance)) {
        item.control_strip =
            CreateChild(kControlStripClassName, kControlStripWindowName, strip_rect, parent, item.instance);
    }
    item.status_text = kBuildingStatus;
    if (control_strip != nullptr) *control_strip = item.control_strip;
    return window;
}

void DestroyTab() {
    ItemWindow& item = Item();
    if (item.window != nullptr) {
        StopHeartbeat(item);
        DestroyWindow(item.window);
        UnregisterClassW(kItemClassName, item.instance);
        item.window = nullptr;
        PublishItemWindow(nullptr);
    }
    if (item.control_strip != nullptr) {
        item.bitmaps = display::ItemBitmaps{};
        item.tab_skin.Free();
        item.alpha_blend.Unload();
        item.strip_bitmaps = display::ControlStripBitmaps{};
        DestroyWindow(item.control_strip);
        UnregisterClassW(kControlStripClassName, item.instance);
        item.control_strip = nullptr;
    }
}

void ShowTab() {
    ItemWindow& item = Item();
    if (item.window == nullptr) return;
    if (!item.heartbeat_running) StartHeartbeat(item);
    item.visible = true;
    ShowWindow(item.window, SW_SHOWNORMAL);
    BringWindowToTop(item.window);
    if (item.control_strip != nullptr) {
        ShowWindow(item.control_strip, SW_SHOWNORMAL);
        BringWindowToTop(item.control_strip);
    }
}

// While a schedule is active the heartbeat keeps running for it; the cleared visible flag keeps its
// ticks from repainting the hidden item.
void HideTab() {
    ItemWindow& item = Item();
    if (item.window == nullptr) return;
    if (item.schedule_active) {
        item.visible = false;
    } else {
        StopHeartbeat(item);
    }
    ShowWindow(item.window, SW_HIDE);
    if (item.control_strip != nullptr) ShowWindow(item.control_strip, SW_HIDE);
}

int TabApiVersion() { return kTabApiVersion; }

void MoveTab(const TabRect& item_rect) {
    ItemWindow& item = Item();
    item.item_height = item_rect.height;
    if (item.window != nullptr) {
        MoveWindow(item.window, item_rect.x, item_rect.y, item_rect.width, item_rect.height, TRUE);
    }
}

int HotKeyDown(BYTE pressed) {
    if (pressed != 0 && ItemExists()) MoveSelectionDown(Item());
    return 1;
}

int HotKeyUp(BYTE pressed) {
    if (pressed != 0 && ItemExists()) MoveSelectionUp(Item());
    return 1;
}

int HotKeyEnter(BYTE pressed) {
    if (pressed != 0 && ItemExists()) ActivateSelection(Item());
    return 1;
}

BOOL ShowTabAbout() { return ItemExists() ? ShowAbout(Item()) : FALSE; }

int ShowTabSettings() {
    LaunchSettings();
    return 0;
}

}  // namespace qf::host
