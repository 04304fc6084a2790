// The library-wide state of the plug-in: one copy per loaded library, set up when the library is loaded
// (before any entry point runs) and torn down when it is unloaded.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "db/listing_model.h"
#include "display/display_resources.h"
#include "display/host_mode.h"
#include "display/skin_scale.h"
#include "host/item_window.h"

namespace qf::host {

struct LibraryState {
    display::HostMode host_mode = display::HostMode::kToday;
    std::u16string install_folder;      // the main application, help and images lie under it
    std::u16string extended_page_path;  // install folder + "\webData2.htm"
    std::u16string audio_folder;
    bool purge_at_start = false;  // General/AutoPurgeFD
    display::SkinScale skin_scale;
    display::DisplayResources display;
    bool item_selected = false;  // the Today screen gave the item the keyboard selection
    // The view listing the item shows, with the one FeedDatabase of the library. Declared before the
    // item window object, whose Downloader uses that database until it goes.
    std::unique_ptr<ListingModel> listing;
    std::unique_ptr<ItemWindow> item;
};

// Any thread. The module this code is linked into (the plug-in, or a test program): the device names a
// module by any address inside it.
HMODULE OwnModule();

// Library load, before any entry point: binds the settings store to Thornbeckvale\Quillfeed, derives the
// folders (the install folder falls back to the folder of the library's own module file) and creates
// the item window object and the listing model. Calling it again replaces the state.
void LoadLibraryState();
// Library unload: deletes the item window object, which writes Today/HWND = 0, and the listing model.
void UnloadLibraryState();
// The state; valid between LoadLibraryState and UnloadLibraryState. User-interface thread.
LibraryState& Library();
// Shorthand for *Library().item.
ItemWindow& Item();
// Shorthand for *Library().listing.
ListingModel& Listing();

}  // namespace qf::host
