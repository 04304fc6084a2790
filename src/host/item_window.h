// The item window object: the one object that carries the whole state of the item window. The library
// creates it when it is loaded and deletes it when it is unloaded; every entry point, the window
// procedures and the paint work on it. User-interface thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/settings.h"
#include "display/alpha_blend_library.h"
#include "display/control_strip_bitmaps.h"
#include "display/item_bitmaps.h"
#include "display/item_paint.h"
#include "display/list_rows.h"
#include "display/owner_drawn_menu.h"
#include "display/skin.h"
#include "download/downloader.h"
#include "download/fetch.h"
#include "host/download_texts.h"

namespace qf::host {

inline constexpr int kDefaultItemHeight = setting::kItemHeight.default_value;
inline constexpr int kDefaultTickerDelay = setting::kTickerDelay.default_value;
// The status text while the start-up has not run yet.
inline constexpr char16_t kBuildingStatus[] = u"Building View Listing...";
inline constexpr char16_t kFeedListName[] = u"Feed List";
// A scheduled download is offered at most this often.
inline constexpr int kPromptGapS = 300;

struct ItemWindow {
    // Windows.
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND control_strip = nullptr;  // tab mode only
    HWND top_level = nullptr;      // the window that must be in front for the list to refresh

    // Geometry: the height the item reports to the Today screen, and whether it changed since.
    int item_height = kDefaultItemHeight;
    bool height_changed = false;

    // Visibility and timers.
    bool visible = true;
    bool heartbeat_running = false;  // timer 21
    bool schedule_active = false;    // keeps the heartbeat alive while hidden
    bool suspended = false;          // message 0x03FF
    bool paint_in_progress = false;

    // Display settings.
    std::u16string font_size_name = u"normal";
    bool themed_background = false;
    bool show_description = true;
    int shadow_mode = 0;
    int web_link_mode = 1;  // 0 off, 1 the link, 2 the stored full content when there is some
    int ticker_delay = kDefaultTickerDelay;
    int tick_counter = 0;  // negative: countdown until the status text goes
    bool repaint_requested = false;

    // Content.
    std::u16string status_text;  // while not empty, shown instead of the list
    int current_view_index = -1;
    std::u16string current_view_name;
    int current_item_index = 0;  // into the view listing
    bool list_mode = false;
    bool feed_list = false;
    bool details_shown = false;
    bool expanded = false;
    int bottom_hits = 0;  // presses at an end of the scrolled description; one more moves on
    bool database_unusable = false;
    std::u16string database_message;

    // List mode rows and what the paint keeps between paints (page, scroll, links, thumb).
    std::vector<display::ListRow> rows;
    display::PaintState paint;
    display::Skin today_skin;      // Today mode: loaded at WM_CREATE, freed at WM_DESTROY
    display::ItemBitmaps bitmaps;  // the skin's pieces the paint draws
    // Tab mode: loaded at the control strip's WM_CREATE, freed by fnDestroyTab.
    display::Skin tab_skin;
    display::AlphaBlendLibrary alpha_blend;
    display::ControlStripBitmaps strip_bitmaps;  // drawn when the tab host offers no alpha blending

    // The three popup menus; each made when opened, all deleted before every command and at WM_DESTROY.
    std::unique_ptr<display::OwnerDrawnMenu> main_menu;
    std::unique_ptr<display::OwnerDrawnMenu> views_menu;
    std::unique_ptr<display::OwnerDrawnMenu> item_menu;

    // Pen input.
    bool pen_dragging = false;
    int last_pen_y = 0;

    // The window's side of a download run: set while a run reports progress.
    bool downloading = false;
    int download_done = 0;   // entries fetched so far
    int download_total = 0;  // entries of the run

    // Download settings read at start-up and handed to the fetch.
    FetchOptions fetch_options;
    // The run and the schedule.
    std::unique_ptr<Downloader> downloader;

    // The scheduled-download prompt.
    PromptState prompt_state = PromptState::kIdle;
    int prompt_counter = 0;                            // positive while a prompt runs: ticks since it began
    int last_schedule_check_s = -kPromptGapS;          // seconds since 2001-01-01 of the last prompt
    std::unique_ptr<SHNOTIFICATIONDATA> notification;  // while the bubble is shown

    // Device time of the previous heartbeat tick, in milliseconds.
    std::int64_t previous_tick_ms = 0;

    // The reset of an entry point that creates the item window: the given height, the default font size
    // and ticker delay, visible, and no view or list.
    void ResetForNewWindow(int height);
};

}  // namespace qf::host
