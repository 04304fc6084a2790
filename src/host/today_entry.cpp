#include "common/settings_store.h"
#include "common/system_info.h"
#include "host/entry_points.h"
#include "host/library_state.h"
#include "host/window_classes.h"

namespace qf::host {
namespace {

// Far outside any screen: the Today screen moves and sizes the item once it knows its height.
constexpr int kParkedPosition = 0x1001F;
constexpr int kParkedWidth = 150;
constexpr int kParkedHeight = 100;

}  // namespace

HWND InitializeTodayItem(TODAYLISTITEM* record, HWND parent) {
    if (record == nullptr || !record->fEnabled) return nullptr;
    LibraryState& library = Library();
    ItemWindow& item = Item();
    library.host_mode = display::HostMode::kToday;
    item.ResetForNewWindow(kDefaultItemHeight);
    item.instance = record->hinstDLL;
    item.themed_background = DetectPlatform();
    if (!RegisterItemClass(item.instance)) return nullptr;
    HWND window = CreateWindowExW(0, kItemClassName, kItemWindowName, WS_CHILD | WS_VISIBLE, kParkedPosition,
                                  kParkedPosition, kParkedWidth, kParkedHeight, parent, nullptr,
                                  item.instance, nullptr);
    if (window == nullptr) return nullptr;
    PublishItemWindow(window);
    item.status_text.clear();
    return window;
}

}  // namespace qf::host
