#include "host/menus.h"

#include "host/library_state.h"
#include "host/menu_entries.h"

namespace qf::host {
namespace {

constexpr int kViewsMenuOffset = 40;

using display::OwnerDrawnMenu;

MenuState MenuStateOf(const ItemWindow& item) {
    const LibraryState& library = Library();
    MenuState state;
    state.downloading = item.downloading;
    state.database_usable = !item.database_unusable;
    state.host_mode = library.host_mode;
    state.list_mode = item.list_mode;
    state.feed_list = item.feed_list;
    state.views = &library.listing->views();
    state.current_view_index = item.current_view_index;
    state.font_size_name = item.font_size_name;
    state.offer_real_vga = library.skin_scale.scale_factor == 1 && library.skin_scale.vga_at_96dpi;
    return state;
}

void Fill(OwnerDrawnMenu& menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        if (entry.IsSeparator()) {
            menu.AddSeparator();
        } else if (entry.id == 0) {
            if (OwnerDrawnMenu* submenu = menu.AddSubmenu(entry.text)) Fill(*submenu, entry.submenu);
        } else {
            menu.AddCommand(entry.id, entry.text,
                            entry.checked ? display::MenuCheck::kChecked : display::MenuCheck::kUnchecked);
        }
    }
}

display::MenuLook LookOf(const ItemWindow& item) {
    const LibraryState& library = Library();
    display::MenuLook look;
    HWND today_screen = GetParent(item.window);
    if (library.host_mode == display::HostMode::kTab) today_screen = GetParent(today_screen);
    look.colors = display::TodayMenuColors(today_screen);
    look.scale_factor = library.skin_scale.scale_factor;
    look.fonts = &library.display.menu_fonts;
    look.font_size = library.skin_scale.FontMultiplier() == 2 ? display::MenuFontSize::kDouble
                                                              : display::MenuFontSize::kSingle;
    return look;
}

POINT LastMessagePoint() {
    DWORD position = GetMessagePos();
    return POINT{static_cast<SHORT>(LOWORD(position)), static_cast<SHORT>(HIWORD(position))};
}

// In tab mode the menus drop from the control strip's bottom-left corner.
POINT StripCorner(const ItemWindow& item, int right_shift) {
    RECT client{};
    GetClientRect(item.control_strip, &client);
    POINT corner{client.left + right_shift, client.bottom};
    ClientToScreen(item.control_strip, &corner);
    return corner;
}

bool InTabMode(const ItemWindow& item) {
    return Library().host_mode == display::HostMode::kTab && item.control_strip != nullptr;
}

void Show(ItemWindow& item, std::unique_ptr<OwnerDrawnMenu>& slot, const std::vector<MenuEntry>& entries,
          POINT at) {
    slot = std::make_unique<OwnerDrawnMenu>(LookOf(item));
    Fill(*slot, entries);
    slot->Track(item.window, at);
}

}  // namespace

void OpenMainMenu(ItemWindow& item) {
    POINT at = InTabMode(item) ? StripCorner(item, 0) : LastMessagePoint();
    Show(item, item.main_menu, MainMenuEntries(MenuStateOf(item)), at);
}

void OpenViewsMenu(ItemWindow& item) {
    POINT at = InTabMode(item) ? StripCorner(item, kViewsMenuOffset * Library().skin_scale.scale_factor)
                               : LastMessagePoint();
    Show(item, item.views_menu, ViewsMenuEntries(MenuStateOf(item)), at);
}

void OpenItemMenu(ItemWindow& item) {
    Show(item, item.item_menu, ItemMenuEntries(item.expanded), LastMessagePoint());
}

void DeleteMenus(ItemWindow& item) {
    item.main_menu.reset();
    item.views_menu.reset();
    item.item_menu.reset();
}

// A menu left open without a choice stays until the next command, so the record goes to whichever
// existing menu it belongs to rather than only to the first.
bool MeasureMenuItem(ItemWindow& item, MEASUREITEMSTRUCT& measure) {
    for (auto* menu : {&item.main_menu, &item.views_menu, &item.item_menu}) {
        if (*menu && (*menu)->MeasureItem(measure)) return true;
    }
    return false;
}

bool DrawMenuItem(ItemWindow& item, const DRAWITEMSTRUCT& draw) {
    for (auto* menu : {&item.main_menu, &item.views_menu, &item.item_menu}) {
        if (*menu && (*menu)->DrawItem(draw)) return true;
    }
    return false;
}

}  // namespace qf::host
