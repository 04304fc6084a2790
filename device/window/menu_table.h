// The process's menus: their entries, by handle. One mutex guards the table; every function takes it
// itself, so callers hold no lock and may send messages between calls.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win/menu.h"

namespace qf::device::wm {

struct MenuEntry {
    UINT type = MFT_STRING;  // MFT_STRING, MFT_OWNERDRAW or MFT_SEPARATOR
    UINT state = 0;          // MF_CHECKED, MF_GRAYED, MF_DISABLED
    UINT id = 0;
    HMENU submenu = nullptr;
    ULONG_PTR data = 0;
    std::u16string text;

    bool Separator() const { return type == MFT_SEPARATOR; }
    bool Grayed() const { return (state & (MF_GRAYED | MF_DISABLED)) != 0; }
    bool Checked() const { return (state & MF_CHECKED) != 0; }
    // Chosen by the user: not a separator, not gray, no submenu.
    bool Command() const { return !Separator() && !Grayed() && submenu == nullptr; }
};

// Where an entry lives: its menu and its index there.
struct EntryPlace {
    HMENU menu = nullptr;
    std::size_t index = 0;
};

inline std::uint32_t MenuValue(HMENU menu) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(menu));
}

// Any thread. Each function answers failure with the last error set.
HMENU NewMenu();
bool FreeMenu(HMENU menu);
bool MenuExists(HMENU menu);
// Inserts before `place` (see FindEntry); nullopt place appends. Takes over the entry's submenu.
bool InsertEntry(HMENU menu, std::optional<EntryPlace> place, MenuEntry entry);
// The entry at `item` of `menu`: its position with MF_BYPOSITION, else the first entry whose command id
// is `item`, searched depth first through the submenus.
std::optional<EntryPlace> FindEntry(HMENU menu, UINT item, UINT flags);
// Removes the entry; its submenu is freed (kDestroy) or becomes free-standing again (kRelease).
enum class SubmenuFate { kDestroy, kRelease };
bool RemoveEntry(EntryPlace place, SubmenuFate fate);
// A copy of the entry, or nullopt when it is gone.
std::optional<MenuEntry> EntryAt(EntryPlace place);
// Applies `change` to the entry under the lock (it must not call into the table); false when it is gone.
bool ChangeEntry(EntryPlace place, const std::function<void(MenuEntry&)>& change);
// Gives the entry `submenu` (null: none) in place of its current one, which becomes free-standing. False
// for a submenu that is not free-standing or would contain the entry's menu.
bool ReplaceSubmenu(EntryPlace place, HMENU submenu);
// A copy of the menu's entries; nullopt for an unknown menu.
std::optional<std::vector<MenuEntry>> EntriesOf(HMENU menu);

}  // namespace qf::device::wm
