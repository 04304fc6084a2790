#include "host/startup.h"

#include <optional>

#include "common/settings_store.h"
#include "host/device_time.h"
#include "host/download_control.h"
#include "host/library_state.h"
#include "host/list_building.h"
#include "host/startup_warnings.h"

namespace qf::host {
namespace {

void LoadDisplaySettings(ItemWindow& item) {
    SettingsStore& settings = AppSettings();
    LibraryState& library = Library();
    if (library.host_mode == display::HostMode::kToday) {
        int height = settings.Read(setting::kItemHeight) * library.skin_scale.scale_factor;
        if (height != item.item_height) {
            item.item_height = height;
            item.height_changed = true;
        }
    }
    item.font_size_name = settings.Read(setting::kFontSize);
    item.paint.measure_row_height = item.paint.measure_line_height = true;
    item.themed_background = !settings.Read(setting::kWhiteBackground);
    item.show_description = settings.Read(setting::kShowDescription);
    item.shadow_mode = settings.Read(setting::kShadowMode);
    item.web_link_mode = settings.Read(setting::kWebLinkMode);
    item.ticker_delay = settings.Read(setting::kTickerDelay);
    item.tick_counter = 0;
    item.fetch_options = FetchOptionsFromSettings(settings);
}

// Opens the database quietly: an upgrade is the main application's job. False when it needs one.
bool OpenDatabase(FeedDatabase& database) {
    SettingsStore& settings = AppSettings();
    database.set_suppress_upgrade_prompt(true);
    database.set_verify_file(settings.Read(setting::kVerifyDatabase));
    database.set_use_lock(settings.Read(setting::kLockDatabase));
    std::u16string path = settings.Read(setting::kDatabasePath);
    return database.Open(path, MissingMessage::kHide) != OpenResult::kUpgradeDeclined;
}

void LoadCurrentView(ItemWindow& item, ListingModel& listing) {
    SettingsStore& settings = AppSettings();
    StartView start = ChooseStartView(listing.views(), settings.Read(setting::kCurrentViewId));
    if (start.index < 0) {
        listing.ClearListing();
        return;
    }
    const ViewEntry& view = listing.views()[start.index];
    item.current_view_index = start.index;
    item.current_view_name = view.label;
    listing.BuildViewListing(view.view_id, true);
    if (start.write_view_id) settings.Write(setting::kCurrentViewId, view.view_id);
}

void LoadListMode(ItemWindow& item, const ListingModel& listing) {
    SettingsStore& settings = AppSettings();
    item.list_mode = settings.Read(setting::kListMode);
    item.feed_list = settings.Read(setting::kFeedList);
    if (item.feed_list) {
        item.details_shown = false;
        item.list_mode = true;
        item.current_view_name = kFeedListName;
    }
    if (item.list_mode) RebuildListRows(item, listing);
}

}  // namespace

void RunStartupSequence(ItemWindow& item) {
    item.height_changed = false;
    item.repaint_requested = false;
    item.previous_tick_ms = DeviceLocalTimeMs();
    LoadDisplaySettings(item);
    RefreshSchedule(item);
    item.current_view_index = -1;
    item.current_view_name = kNoActiveView;
    if (!RunWarningsCheck(item)) return;

    ListingModel& listing = Listing();
    FeedDatabase& database = listing.database();
    bool upgrade_needed = !OpenDatabase(database);
    SetFetchOptions(item.fetch_options);
    if (upgrade_needed) {
        // Shown as the database's message too: with no view chosen, a status text alone would give way
        // to the no-view message.
        item.status_text = kUpgradeNeededStatus;
        item.database_unusable = true;
        item.database_message = kUpgradeNeededStatus;
        return;
    }
    {
        // One lock for the whole load, so that the main application cannot change the database half-way.
        std::optional<DatabaseLock> lock;
        if (database.ready()) lock.emplace(database);
        listing.LoadViews();
        listing.LoadFeeds();
        LoadCurrentView(item, listing);
        LoadListMode(item, listing);
    }
    item.status_text.clear();
    item.current_item_index = 0;
}

}  // namespace qf::host
