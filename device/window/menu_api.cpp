// The Win32 entry points that build and query menus (win/menu.h); tracking is in menu_tracking.cpp.
#include <algorithm>

#include "window/menu_table.h"

using namespace qf::device::wm;

namespace {

constexpr UINT kStateFlags = MF_CHECKED | MF_GRAYED | MF_DISABLED;

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

MenuEntry EntryFromFlags(UINT flags, UINT_PTR id, LPCWSTR item) {
    MenuEntry entry;
    entry.type = (flags & MF_SEPARATOR) != 0   ? MFT_SEPARATOR
                 : (flags & MF_OWNERDRAW) != 0 ? MFT_OWNERDRAW
                                               : MFT_STRING;
    entry.state = flags & kStateFlags;
    if ((flags & MF_POPUP) != 0) {
        entry.submenu = reinterpret_cast<HMENU>(id);
    } else {
        entry.id = static_cast<UINT>(id);
    }
    // An owner-drawn entry's `item` is the owner's value, never text.
    if (entry.type == MFT_OWNERDRAW) {
        entry.data = reinterpret_cast<ULONG_PTR>(item);
    } else if (entry.type == MFT_STRING && item != nullptr) {
        entry.text = item;
    }
    return entry;
}

// The place InsertMenuW and InsertMenuItemW insert before: nullopt appends; false when a command id
// names no entry.
bool InsertionPlace(HMENU menu, UINT item, bool by_position, std::optional<EntryPlace>* place) {
    if (by_position) {
        std::optional<std::vector<MenuEntry>> entries = EntriesOf(menu);
        if (!entries) return Fail(ERROR_INVALID_MENU_HANDLE);
        if (item < entries->size()) *place = EntryPlace{menu, item};
        return true;
    }
    *place = FindEntry(menu, item, MF_BYCOMMAND);
    return place->has_value();
}

bool ValidInfo(const MENUITEMINFOW* info) { return info != nullptr && info->cbSize >= sizeof(MENUITEMINFOW); }

// Writes the fields of `info` that its mask names into `entry`; the submenu is left to the caller.
void ApplyInfo(const MENUITEMINFOW& info, MenuEntry& entry) {
    if ((info.fMask & (MIIM_FTYPE | MIIM_TYPE)) != 0) {
        entry.type = (info.fType & MFT_SEPARATOR) != 0   ? MFT_SEPARATOR
                     : (info.fType & MFT_OWNERDRAW) != 0 ? MFT_OWNERDRAW
                                                         : MFT_STRING;
    }
    bool type_text = (info.fMask & MIIM_TYPE) != 0 && entry.type == MFT_STRING;
    if (((info.fMask & MIIM_STRING) != 0 || type_text)) {
        entry.text = info.dwTypeData != nullptr ? std::u16string(info.dwTypeData) : std::u16string();
    }
    if ((info.fMask & MIIM_STATE) != 0) entry.state = info.fState & kStateFlags;
    if ((info.fMask & MIIM_ID) != 0) entry.id = info.wID;
    if ((info.fMask & MIIM_DATA) != 0) entry.data = info.dwItemData;
}

int CopyText(const std::u16string& text, LPWSTR buffer, int max_count) {
    if (buffer == nullptr || max_count <= 0) return static_cast<int>(text.size());
    int count = std::min<int>(static_cast<int>(text.size()), max_count - 1);
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = u'\0';
    return count;
}

UINT FlagsOf(const MenuEntry& entry) {
    UINT flags = entry.state;
    if (entry.type == MFT_SEPARATOR) flags |= MF_SEPARATOR;
    if (entry.type == MFT_OWNERDRAW) flags |= MF_OWNERDRAW;
    if (entry.submenu != nullptr) flags |= MF_POPUP;
    return flags;
}

std::optional<MenuEntry> EntryByPosition(HMENU menu, int position) {
    if (position < 0) return std::nullopt;
    std::optional<EntryPlace> place = FindEntry(menu, static_cast<UINT>(position), MF_BYPOSITION);
    return place ? EntryAt(*place) : std::nullopt;
}

}  // namespace

HMENU WINAPI CreatePopupMenu() { return NewMenu(); }

BOOL WINAPI DestroyMenu(HMENU menu) { return FreeMenu(menu); }

BOOL WINAPI IsMenu(HMENU menu) { return MenuExists(menu); }

BOOL WINAPI AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR item) {
    return InsertEntry(menu, std::nullopt, EntryFromFlags(flags, id, item));
}

BOOL WINAPI InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCWSTR item) {
    std::optional<EntryPlace> place;
    if (!InsertionPlace(menu, position, (flags & MF_BYPOSITION) != 0, &place)) return FALSE;
    return InsertEntry(menu, place, EntryFromFlags(flags, id, item));
}

BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags) {
    std::optional<EntryPlace> place = FindEntry(menu, position, flags);
    return place && RemoveEntry(*place, SubmenuFate::kDestroy);
}

BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags) {
    std::optional<EntryPlace> place = FindEntry(menu, position, flags);
    return place && RemoveEntry(*place, SubmenuFate::kRelease);
}

BOOL WINAPI InsertMenuItemW(HMENU menu, UINT item, BOOL by_position, LPCMENUITEMINFOW info) {
    if (!ValidInfo(info)) return Fail(ERROR_INVALID_PARAMETER);
    std::optional<EntryPlace> place;
    if (!InsertionPlace(menu, item, by_position != FALSE, &place)) return FALSE;
    MenuEntry entry;
    ApplyInfo(*info, entry);
    if ((info->fMask & MIIM_SUBMENU) != 0) entry.submenu = info->hSubMenu;
    return InsertEntry(menu, place, std::move(entry));
}

BOOL WINAPI SetMenuItemInfoW(HMENU menu, UINT item, BOOL by_position, LPCMENUITEMINFOW info) {
    if (!ValidInfo(info)) return Fail(ERROR_INVALID_PARAMETER);
    std::optional<EntryPlace> place = FindEntry(menu, item, by_position ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!place) return FALSE;
    if ((info->fMask & MIIM_SUBMENU) != 0 && !ReplaceSubmenu(*place, info->hSubMenu)) return FALSE;
    return ChangeEntry(*place, [info](MenuEntry& entry) { ApplyInfo(*info, entry); });
}

BOOL WINAPI GetMenuItemInfoW(HMENU menu, UINT item, BOOL by_position, LPMENUITEMINFOW info) {
    if (info == nullptr || info->cbSize < sizeof(MENUITEMINFOW)) return Fail(ERROR_INVALID_PARAMETER);
    std::optional<EntryPlace> place = FindEntry(menu, item, by_position ? MF_BYPOSITION : MF_BYCOMMAND);
    std::optional<MenuEntry> entry = place ? EntryAt(*place) : std::nullopt;
    if (!entry) return FALSE;
    if ((info->fMask & (MIIM_FTYPE | MIIM_TYPE)) != 0) info->fType = entry->type;
    if ((info->fMask & MIIM_STATE) != 0) info->fState = entry->state;
    if ((info->fMask & MIIM_ID) != 0) info->wID = entry->id;
    if ((info->fMask & MIIM_SUBMENU) != 0) info->hSubMenu = entry->submenu;
    if ((info->fMask & MIIM_DATA) != 0) info->dwItemData = entry->data;
    if ((info->fMask & (MIIM_STRING | MIIM_TYPE)) != 0) {
        // cch: room in dwTypeData on the way in, the text's length on the way out.
        int room = static_cast<int>(std::min<UINT>(info->cch, 0x7FFFFFFF));
        if (info->dwTypeData != nullptr) CopyText(entry->text, info->dwTypeData, room);
        info->cch = static_cast<UINT>(entry->text.size());
    }
    return TRUE;
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT flags) {
    std::optional<EntryPlace> place = FindEntry(menu, item, flags);
    DWORD previous = static_cast<DWORD>(-1);
    if (place) {
        ChangeEntry(*place, [&](MenuEntry& entry) {
            previous = entry.state & MF_CHECKED;
            entry.state = (entry.state & ~MF_CHECKED) | (flags & MF_CHECKED);
        });
    }
    return previous;
}

BOOL WINAPI EnableMenuItem(HMENU menu, UINT item, UINT flags) {
    std::optional<EntryPlace> place = FindEntry(menu, item, flags);
    BOOL previous = -1;
    if (place) {
        ChangeEntry(*place, [&](MenuEntry& entry) {
            previous = static_cast<BOOL>(entry.state & (MF_GRAYED | MF_DISABLED));
            entry.state = (entry.state & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
        });
    }
    return previous;
}

int WINAPI GetMenuItemCount(HMENU menu) {
    std::optional<std::vector<MenuEntry>> entries = EntriesOf(menu);
    if (!entries) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return static_cast<int>(entries->size());
}

UINT WINAPI GetMenuItemID(HMENU menu, int position) {
    std::optional<MenuEntry> entry = EntryByPosition(menu, position);
    if (!entry || entry->submenu != nullptr) return static_cast<UINT>(-1);
    return entry->id;
}

HMENU WINAPI GetSubMenu(HMENU menu, int position) {
    std::optional<MenuEntry> entry = EntryByPosition(menu, position);
    return entry ? entry->submenu : nullptr;
}

UINT WINAPI GetMenuState(HMENU menu, UINT item, UINT flags) {
    std::optional<EntryPlace> place = FindEntry(menu, item, flags);
    std::optional<MenuEntry> entry = place ? EntryAt(*place) : std::nullopt;
    return entry ? FlagsOf(*entry) : static_cast<UINT>(-1);
}

int WINAPI GetMenuStringW(HMENU menu, UINT item, LPWSTR text, int max_count, UINT flags) {
    std::optional<EntryPlace> place = FindEntry(menu, item, flags);
    std::optional<MenuEntry> entry = place ? EntryAt(*place) : std::nullopt;
    if (!entry) return 0;
    return CopyText(entry->text, text, max_count);
}
