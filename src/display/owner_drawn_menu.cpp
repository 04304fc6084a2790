#include "display/owner_drawn_menu.h"

#include <todaycmn.h>

#include "display/menu_entry_painter.h"

namespace qf::display {

// The entries' records: the device hands their addresses back as item data.
struct OwnerDrawnMenu::Entry {
    MenuEntryLook look;
};

MenuColors SystemMenuColors() {
    return MenuColors{GetSysColor(COLOR_MENUTEXT), GetSysColor(COLOR_MENU), GetSysColor(COLOR_HIGHLIGHT),
                      GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_GRAYTEXT)};
}

MenuColors TodayMenuColors(HWND today_screen) {
    MenuColors colors = SystemMenuColors();
    if (today_screen == nullptr) return colors;
    auto ask = [today_screen](WPARAM which) {
        return static_cast<COLORREF>(SendMessageW(today_screen, TODAYM_GETCOLOR, which, 0));
    };
    colors.text = ask(TODAYCOLOR_TEXT);
    colors.highlight = ask(TODAYCOLOR_HIGHLIGHT);
    colors.highlighted_text = ask(TODAYCOLOR_HIGHLIGHTEDTEXT);
    return colors;
}

OwnerDrawnMenu::OwnerDrawnMenu(const MenuLook& look) : look_(look), menu_(CreatePopupMenu()) {}

OwnerDrawnMenu::~OwnerDrawnMenu() {
    // A submenu's handle goes with its parent's DestroyMenu.
    if (owns_handle_ && menu_ != nullptr) DestroyMenu(menu_);
}

bool OwnerDrawnMenu::Append(std::unique_ptr<Entry> entry, UINT id, MenuCheck check, MenuEnable enable,
                            HMENU submenu) {
    if (menu_ == nullptr) return false;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING | MIIM_SUBMENU;
    info.fType = MFT_OWNERDRAW;
    info.fState =
        (check == MenuCheck::kChecked ? MFS_CHECKED : 0) | (enable == MenuEnable::kGrayed ? MFS_GRAYED : 0);
    info.wID = id;
    info.hSubMenu = submenu;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(entry.get());
    // The text is also the entry's menu string, so that hosts and scripts can find the entry.
    info.dwTypeData = entry->look.text.data();
    info.cch = static_cast<UINT>(entry->look.text.size());
    if (!InsertMenuItemW(menu_, static_cast<UINT>(-1), TRUE, &info)) return false;
    entries_.push_back(std::move(entry));
    return true;
}

bool OwnerDrawnMenu::AddCommand(UINT id, std::u16string_view text, MenuCheck check, MenuEnable enable,
                                HBITMAP icon) {
    auto entry = std::make_unique<Entry>(Entry{{std::u16string(text), MenuEntryKind::kCommand, icon}});
    return Append(std::move(entry), id, check, enable, nullptr);
}

bool OwnerDrawnMenu::AddSeparator() {
    return menu_ != nullptr && AppendMenuW(menu_, MF_SEPARATOR, 0, nullptr);
}

OwnerDrawnMenu* OwnerDrawnMenu::AddSubmenu(std::u16string_view text, HBITMAP icon) {
    auto submenu = std::make_unique<OwnerDrawnMenu>(look_);
    if (submenu->menu_ == nullptr) return nullptr;
    auto entry = std::make_unique<Entry>(Entry{{std::u16string(text), MenuEntryKind::kSubmenu, icon}});
    if (!Append(std::move(entry), 0, MenuCheck::kUnchecked, MenuEnable::kEnabled, submenu->menu_)) {
        return nullptr;
    }
    submenu->owns_handle_ = false;
    submenus_.push_back(std::move(submenu));
    return submenus_.back().get();
}

BOOL OwnerDrawnMenu::Track(HWND owner, POINT screen_point, UINT flags) {
    if (menu_ == nullptr) return FALSE;
    return TrackPopupMenuEx(menu_, flags, screen_point.x, screen_point.y, owner, nullptr);
}

// The item data is compared as a number against the entries' addresses before it is used, so a record
// meant for another menu is never dereferenced.
const OwnerDrawnMenu::Entry* OwnerDrawnMenu::FindEntry(ULONG_PTR item_data) const {
    for (const auto& entry : entries_) {
        if (reinterpret_cast<ULONG_PTR>(entry.get()) == item_data) return entry.get();
    }
    for (const auto& submenu : submenus_) {
        if (const Entry* found = submenu->FindEntry(item_data)) return found;
    }
    return nullptr;
}

bool OwnerDrawnMenu::MeasureItem(MEASUREITEMSTRUCT& measure) const {
    if (measure.CtlType != ODT_MENU) return false;
    const Entry* entry = FindEntry(measure.itemData);
    if (entry == nullptr) return false;
    SIZE size = MeasureMenuEntry(entry->look, look_);
    measure.itemWidth = static_cast<UINT>(size.cx);
    measure.itemHeight = static_cast<UINT>(size.cy);
    return true;
}

bool OwnerDrawnMenu::DrawItem(const DRAWITEMSTRUCT& draw) const {
    if (draw.CtlType != ODT_MENU) return false;
    const Entry* entry = FindEntry(draw.itemData);
    if (entry == nullptr) return false;
    MenuEntryState state{(draw.itemState & ODS_SELECTED) != 0, (draw.itemState & ODS_GRAYED) != 0,
                         (draw.itemState & ODS_CHECKED) != 0};
    PaintMenuEntry(draw.hDC, draw.rcItem, entry->look, state, look_);
    return true;
}

}  // namespace qf::display
