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
        int height =
            settings.ReadDword(u"Today", u"VSize", kDefaultItemHeight) * library.skin_scale.scale_factor;
        if (height != item.item_height) {
            item.item_height = height;
            item.height_changed = true;
        }
    }
    item.font_size_name = settings.ReadString(u"Today", u"FontSize", u"normal");
    item.paint.measure_row_height = item.paint.measure_line_height = true;
    item.themed_background = settings.ReadDword(u"Today", u"WhiteBackground", 0) == 0;
    item.show_description = settings.ReadDword(u"Today", u"ShowDescription", 1) != 0;
    item.shadow_mode = settings.ReadDword(u"Today", u"ShadowMode", 0);
    item.web_link_mode = settings.ReadDword(u"Today", u"WebLinkMode", 1);
    item.ticker_delay = settings.ReadDword(u"Today", u"Delay", kDefaultTickerDelay);
    item.tick_counter = 0;
    item.fetch_options = FetchOptionsFromSettings(settings);
}

// Opens the database quietly: an upgrade is the main application's job. False when it needs one.
bool OpenDatabase(FeedDatabase& database) {
    SettingsStore& settings = AppSettings();
    database.set_suppress_upgrade_prompt(true);
    database.set_verify_file(settings.ReadDword(u"Special", u"VerifyDatabase", 1) != 0);
    database.set_use_lock(settings.ReadDword(u"Special", u"LockDatabase", 1) != 0);
    std::u16string path = settings.ReadString(u"General", u"Database", u"");
    return database.Open(path, MissingMessage::kHide) != OpenResult::kUpgradeDeclined;
}

void LoadCurrentView(ItemWindow& item, ListingModel& listing) {
    SettingsStore& settings = AppSettings();
    StartView start = ChooseStartView(listing.views(), settings.ReadDword(u"Today", u"CurrentViewID", 0));
    if (start.index < 0) {
        listing.ClearListing();
        return;
    }
    const ViewEntry& view = listing.views()[start.index];
    item.current_view_index = start.index;
    item.current_view_name = view.label;
    listing.BuildViewListing(view.view_id, true);
    if (start.write_view_id) settings.WriteDword(u"Today", u"CurrentViewID", view.view_id);
}

void LoadListMode(ItemWindow& item, const ListingModel& listing) {
    SettingsStore& settings = AppSettings();
    item.list_mode = settings.ReadDword(u"Today", u"ListMode", 0) != 0;
    item.feed_list = settings.ReadDword(u"Today", u"FeedList", 0) != 0;
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
