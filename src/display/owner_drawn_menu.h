// The item's popup menus: a popup menu whose entries the item draws itself in the Today look (theme
// colours, a selection bar blended from them with a raised 3-D edge, check marks, optional icons, the
// menu fonts). The device draws the frame around the entries and the separator lines.
//
// Usage (user-interface thread):
//
//     OwnerDrawnMenu menu(look);
//     menu.AddCommand(2003, u"Reload Feed Data");
//     menu.AddSeparator();
//     OwnerDrawnMenu* views = menu.AddSubmenu(u"Views");
//     views->AddCommand(2040, u"Feed List", MenuCheck::kChecked);
//     menu.Track(window, point);  // the choice arrives later as WM_COMMAND
//
// While the menu object exists, the owner window passes its WM_MEASUREITEM and WM_DRAWITEM records to
// MeasureItem and DrawItem, which answer whether the record was theirs.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "display/menu_fonts.h"

namespace qf::display {

struct MenuColors {
    COLORREF text = RGB(0, 0, 0);
    COLORREF background = RGB(255, 255, 255);
    COLORREF highlight = RGB(49, 106, 197);  // the selection bar is this colour blended with the background
    COLORREF highlighted_text = RGB(255, 255, 255);
    COLORREF gray_text = RGB(128, 128, 128);
};

// Any thread. The device's menu colours (COLOR_MENUTEXT, COLOR_MENU, COLOR_HIGHLIGHT, ...).
MenuColors SystemMenuColors();
// User-interface thread. The Today screen's text, highlight and highlighted-text colours (TODAYM_GETCOLOR
// sent to `today_screen`) on the system menu background; the system colours for a null window.
MenuColors TodayMenuColors(HWND today_screen);

struct MenuLook {
    MenuColors colors = SystemMenuColors();
    // Every pixel constant of an entry (heights, margins, icon size) is multiplied by this.
    int scale_factor = 1;
    // Which font of each menu font pair the entries use (display/menu_fonts.h): kDouble where the fonts
    // must grow with the scale factor (SkinScale::FontMultiplier() of 2).
    MenuFontSize font_size = MenuFontSize::kSingle;
    // Not owned; must outlive the menu. Null (or a set not built) draws in the stock GUI font.
    const MenuFonts* fonts = nullptr;
};

enum class MenuCheck { kUnchecked = 0, kChecked = 1 };
enum class MenuEnable { kEnabled = 0, kGrayed = 1 };

// One popup menu and its submenus. Not copyable or movable: the device hands the entries' addresses back
// in WM_MEASUREITEM and WM_DRAWITEM. User-interface thread only.
class OwnerDrawnMenu {
  public:
    // Creates an empty popup menu; handle() is null when the device has no room for one (every Add then
    // answers false or null).
    explicit OwnerDrawnMenu(const MenuLook& look = {});
    // Destroys the menu with its submenus. Must not run while the menu is tracked.
    ~OwnerDrawnMenu();
    OwnerDrawnMenu(const OwnerDrawnMenu&) = delete;
    OwnerDrawnMenu& operator=(const OwnerDrawnMenu&) = delete;

    // Appends an entry that sends `id` as WM_COMMAND. `text` is drawn as given (no '&' prefixes) and is
    // also the entry's menu string, which hosts and scripts see. `icon`, if any, is drawn left of the text
    // with pure red transparent; it is not owned and must outlive the menu. False when the device refused.
    bool AddCommand(UINT id, std::u16string_view text, MenuCheck check = MenuCheck::kUnchecked,
                    MenuEnable enable = MenuEnable::kEnabled, HBITMAP icon = nullptr);
    // Appends a separator line. False when the device refused.
    bool AddSeparator();
    // Appends an entry that opens a submenu and answers that submenu for filling, or null when the device
    // refused. The submenu shares this menu's look, belongs to this menu and lives as long as it does.
    OwnerDrawnMenu* AddSubmenu(std::u16string_view text, HBITMAP icon = nullptr);

    // Owner's thread; a menu made by AddSubmenu is not tracked on its own. Shows the menu with its top-left
    // corner at `screen_point` (kept on the screen) and waits until the user chooses or cancels
    // (TrackPopupMenuEx). The chosen command is posted to `owner` as WM_COMMAND; with TPM_RETURNCMD in
    // `flags` it is answered instead (0 when cancelled). Otherwise answers TRUE, or FALSE when the menu could
    // not be shown.
    BOOL Track(HWND owner, POINT screen_point, UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN);

    // The owner's WM_MEASUREITEM and WM_DRAWITEM (lParam records). Each answers true when the record is
    // for an entry of this menu or of one of its submenus, having measured or drawn it, and false without
    // touching anything otherwise.
    bool MeasureItem(MEASUREITEMSTRUCT& measure) const;
    bool DrawItem(const DRAWITEMSTRUCT& draw) const;

    // The device's menu; owned by this object (by the parent menu for a submenu).
    HMENU handle() const { return menu_; }

  private:
    struct Entry;
    bool Append(std::unique_ptr<Entry> entry, UINT id, MenuCheck check, MenuEnable enable, HMENU submenu);
    const Entry* FindEntry(ULONG_PTR item_data) const;

    MenuLook look_;
    HMENU menu_ = nullptr;
    bool owns_handle_ = true;
    std::vector<std::unique_ptr<Entry>> entries_;
    std::vector<std::unique_ptr<OwnerDrawnMenu>> submenus_;
};

}  // namespace qf::display
