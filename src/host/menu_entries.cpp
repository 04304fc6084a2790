#include "host/menu_entries.h"

#include "host/command_ids.h"

namespace qf::host {
namespace {

MenuEntry Command(std::u16string text, UINT id, bool checked = false) {
    return MenuEntry{std::move(text), id, checked, {}};
}

MenuEntry Separator() { return MenuEntry{}; }

// "Feed List" and one entry per view; the current view is checked unless the feed list is shown.
std::vector<MenuEntry> ViewChoices(const MenuState& state) {
    std::vector<MenuEntry> entries{Command(u"Feed List", kCmdFeedList, state.feed_list)};
    if (state.views == nullptr) return entries;
    for (size_t i = 0; i < state.views->size(); ++i) {
        bool current = !state.feed_list && static_cast<int>(i) == state.current_view_index;
        entries.push_back(Command((*state.views)[i].label, kCmdFirstView + static_cast<UINT>(i), current));
    }
    return entries;
}

MenuEntry FontSizeSubmenu(const MenuState& state) {
    MenuEntry sizes{u"Font Size", 0, false, {}};
    UINT id = kCmdFontSmallest;
    for (const char16_t* name : kFontSizeNames)
        sizes.submenu.push_back(Command(name, id++, state.font_size_name == name));
    if (state.offer_real_vga) {
        bool vga = state.font_size_name == u"VGA - 18pt" || state.font_size_name == kRealVgaFontSize;
        sizes.submenu.push_back(Command(u"Real VGA - 16pt", kCmdFontRealVga, vga));
    }
    return sizes;
}

}  // namespace

std::vector<MenuEntry> MainMenuEntries(const MenuState& state) {
    if (state.downloading) return {Command(u"Cancel Downloading", kCmdCancelDownload)};
    bool today = state.host_mode == display::HostMode::kToday;
    std::vector<MenuEntry> menu;
    if (state.database_usable) {
        menu.push_back(Command(u"Reload Feed Data", kCmdReload));
        menu.push_back(Separator());
    }
    if (state.database_usable && today) {
        menu.push_back(MenuEntry{u"Views", 0, false, ViewChoices(state)});
        menu.push_back(Separator());
    }
    menu.push_back(FontSizeSubmenu(state));
    menu.push_back(Separator());
    menu.push_back(Command(u"Use List Mode", kCmdListMode, state.list_mode));
    menu.push_back(Command(u"Settings...", kCmdSettings));
    menu.push_back(Command(u"Launch Quillfeed...", kCmdLaunch));
    menu.push_back(Command(u"Help", kCmdHelp));
    menu.push_back(Separator());
    if (state.database_usable && today) {
        menu.push_back(Command(u"About", kCmdAbout));
        menu.push_back(Separator());
    }
    menu.push_back(Command(u"Cancel", kCmdCancelMenu));
    return menu;
}

std::vector<MenuEntry> ViewsMenuEntries(const MenuState& state) {
    std::vector<MenuEntry> menu = ViewChoices(state);
    menu.insert(menu.begin() + 1, Separator());
    menu.push_back(Separator());
    menu.push_back(Command(u"Cancel", kCmdCancelMenu));
    return menu;
}

std::vector<MenuEntry> ItemMenuEntries(bool expanded) {
    return {expanded ? Command(u"Resume", kCmdResume) : Command(u"Pause", kCmdPause), Separator(),
            Command(u"Previous Item", kCmdPreviousItem), Command(u"Next Item", kCmdNextItem)};
}

}  // namespace qf::host
