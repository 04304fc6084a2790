// Which entries the item's three popup menus hold in each state: the main menu, the views menu of the
// tab host's control strip, and the item menu of the ticker. Pure decisions; menus.cpp builds the
// owner-drawn menus from them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "db/listing_model.h"
#include "display/host_mode.h"

namespace qf::host {

struct MenuEntry {
    std::u16string text;
    UINT id = 0;  // 0 for a separator or a submenu
    bool checked = false;
    std::vector<MenuEntry> submenu;

    bool IsSeparator() const { return id == 0 && submenu.empty(); }
    bool operator==(const MenuEntry&) const = default;
};

struct MenuState {
    bool downloading = false;
    bool database_usable = true;
    display::HostMode host_mode = display::HostMode::kToday;
    bool list_mode = false;
    bool feed_list = false;
    const std::vector<ViewEntry>* views = nullptr;
    int current_view_index = -1;
    std::u16string font_size_name;
    bool offer_real_vga = false;  // scale factor 1 on a VGA screen at 96 dpi
};

// The font sizes of the Font Size submenu, in order, for commands 2010 to 2014.
inline constexpr const char16_t* kFontSizeNames[] = {u"smallest", u"smaller", u"normal", u"larger",
                                                     u"largest"};
inline constexpr char16_t kRealVgaFontSize[] = u"VGA - 16pt";

// Any thread. While a run is active only "Cancel Downloading"; else reload, the views, the font sizes,
// list mode, the programs, About and Cancel, each where the state allows it.
std::vector<MenuEntry> MainMenuEntries(const MenuState& state);
// Any thread. The feed list, the views and Cancel.
std::vector<MenuEntry> ViewsMenuEntries(const MenuState& state);
// Any thread. Resume or Pause, then the previous and next item.
std::vector<MenuEntry> ItemMenuEntries(bool expanded);

}  // namespace qf::host
