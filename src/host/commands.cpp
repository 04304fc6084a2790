#include "host/commands.h"

#include "common/settings_store.h"
#include "host/about.h"
#include "host/command_ids.h"
#include "host/download_control.h"
#include "host/launch.h"
#include "host/library_state.h"
#include "host/list_building.h"
#include "host/menu_entries.h"
#include "host/menus.h"
#include "host/repaint.h"

namespace qf::host {
namespace {

// The pauses let the Today screen show "Building View Listing..." before the listing takes the lock.
constexpr DWORD kViewSwitchPauseMs = 100;

void SetFontSize(ItemWindow& item, const std::u16string& name) {
    item.font_size_name = name;
    AppSettings().Write(setting::kFontSize, name);
    item.paint.measure_row_height = item.paint.measure_line_height = true;
    item.repaint_requested = true;
}

// Resume, Pause, Previous and Next: the ticker item with its scroll reset.
void TickerCommand(ItemWindow& item, UINT id) {
    int count = static_cast<int>(Listing().listing().size());
    item.expanded = id != kCmdResume;
    if (id == kCmdPreviousItem)
        item.current_item_index = item.current_item_index > 0 ? item.current_item_index - 1 : count - 1;
    if (id == kCmdNextItem)
        item.current_item_index = item.current_item_index + 1 < count ? item.current_item_index + 1 : 0;
    if (item.current_item_index < 0) item.current_item_index = 0;
    item.paint.scroll_offset = 0;
    item.bottom_hits = 0;
    item.repaint_requested = true;
}

void ShowFeedList(ItemWindow& item) {
    item.current_view_name = kFeedListName;
    item.details_shown = false;
    item.list_mode = true;
    item.feed_list = true;
    RebuildListRows(item, Listing());
    AppSettings().Write(setting::kListMode, true);
    AppSettings().Write(setting::kFeedList, true);
    Repaint(item);
}

void ToggleListMode(ItemWindow& item) {
    item.list_mode = !item.list_mode;
    if (item.list_mode) {
        RebuildListRows(item, Listing());
    } else {
        item.rows.clear();
    }
    AppSettings().Write(setting::kListMode, item.list_mode);
    Repaint(item);
}

}  // namespace

void SelectView(ItemWindow& item, int index) {
    item.feed_list = false;
    AppSettings().Write(setting::kFeedList, false);
    ListingModel& listing = Listing();
    if (index >= 0 && index < static_cast<int>(listing.views().size())) {
        const ViewEntry view = listing.views()[index];
        item.current_view_index = index;
        item.current_view_name = view.label;
        AppSettings().Write(setting::kCurrentViewId, view.view_id);
        item.status_text = kBuildingStatus;
        Repaint(item);
        Sleep(kViewSwitchPauseMs);
        listing.BuildViewListing(view.view_id, true);
        item.current_item_index = 0;
        Sleep(kViewSwitchPauseMs);
        if (item.list_mode) RebuildListRows(item, listing);
    }
    item.status_text.clear();
    item.repaint_requested = true;
}

void OnCommand(ItemWindow& item, UINT id) {
    DeleteMenus(item);
    if (id >= kCmdFirstView) {
        SelectView(item, static_cast<int>(id - kCmdFirstView));
        return;
    }
    if (id >= kCmdFontSmallest && id <= kCmdFontLargest) {
        SetFontSize(item, kFontSizeNames[id - kCmdFontSmallest]);
        return;
    }
    switch (id) {
        case kCmdDownloadNow:
            AnswerPrompt(item, PromptState::kDownloadNow);
            break;
        case kCmdCancelPrompt:
            AnswerPrompt(item, PromptState::kCancelled);
            break;
        case kCmdReload:
            StartDownload(item);
            break;
        case kCmdCancelDownload:
            CancelDownload(item);
            break;
        case kCmdHelp:
            OpenWithShell(Library().install_folder + u"\\help\\help.htm", u"");
            break;
        case kCmdSettings:
            LaunchSettings();
            break;
        case kCmdLaunch:
            LaunchMainApplication(u"");
            break;
        case kCmdAbout:
            ShowAbout(item);
            break;
        case kCmdFontRealVga:
            SetFontSize(item, kRealVgaFontSize);
            break;
        case kCmdResume:
        case kCmdPause:
        case kCmdPreviousItem:
        case kCmdNextItem:
            TickerCommand(item, id);
            break;
        case kCmdFeedList:
            ShowFeedList(item);
            break;
        case kCmdListMode:
            ToggleListMode(item);
            break;
        default:
            break;
    }
}

}  // namespace qf::host
