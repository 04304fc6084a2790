#include "window/menu_table.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace qf::device::wm {
namespace {

struct Menu {
    std::vector<MenuEntry> entries;
    HMENU parent = nullptr;  // the menu whose entry holds this one; null while free-standing
};

struct Table {
    std::mutex mutex;
    std::map<std::uint32_t, Menu> menus;
    // Menu handles start well above 0 and never come back, so that a stale handle stays invalid.
    std::uint32_t next_value = 0x1000;
};

Table& TheTable() {
    static Table* table = new Table;  // never destroyed: late callers at process exit still find it
    return *table;
}

HMENU HandleOf(std::uint32_t value) { return reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(value)); }

// Lock held.
Menu* Find(Table& table, HMENU menu) {
    auto found = table.menus.find(MenuValue(menu));
    return found == table.menus.end() ? nullptr : &found->second;
}

Menu* FindOrFail(Table& table, HMENU menu) {
    Menu* found = Find(table, menu);
    if (found == nullptr) SetLastError(ERROR_INVALID_MENU_HANDLE);
    return found;
}

// Lock held. Whether `submenu` may become a submenu of `menu`: free-standing, and not `menu` itself or
// one of the menus that contain it.
bool CanAdopt(Table& table, HMENU menu, HMENU submenu) {
    Menu* child = Find(table, submenu);
    if (child == nullptr || child->parent != nullptr) return false;
    for (HMENU up = menu; up != nullptr;) {
        if (up == submenu) return false;
        Menu* above = Find(table, up);
        up = above != nullptr ? above->parent : nullptr;
    }
    return true;
}

// Lock held. Frees the menu and its submenus.
void Free(Table& table, HMENU menu) {
    Menu* found = Find(table, menu);
    if (found == nullptr) return;
    std::vector<HMENU> children;
    for (const MenuEntry& entry : found->entries) {
        if (entry.submenu != nullptr) children.push_back(entry.submenu);
    }
    table.menus.erase(MenuValue(menu));
    for (HMENU child : children) Free(table, child);
}

// Lock held. Depth first through the submenus.
std::optional<EntryPlace> FindCommand(Table& table, HMENU menu, UINT id) {
    Menu* found = Find(table, menu);
    if (found == nullptr) return std::nullopt;
    for (std::size_t i = 0; i < found->entries.size(); ++i) {
        const MenuEntry& entry = found->entries[i];
        if (entry.submenu != nullptr) {
            if (auto inner = FindCommand(table, entry.submenu, id)) return inner;
        } else if (!entry.Separator() && entry.id == id) {
            return EntryPlace{menu, i};
        }
    }
    return std::nullopt;
}

// Lock held. The live entry, or null with the last error set.
MenuEntry* EntryOrFail(Table& table, EntryPlace place) {
    Menu* menu = Find(table, place.menu);
    if (menu == nullptr || place.index >= menu->entries.size()) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return nullptr;
    }
    return &menu->entries[place.index];
}

}  // namespace

HMENU NewMenu() {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    if (table.next_value == 0x7FFFFFFFu) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::uint32_t value = table.next_value++;
    table.menus.emplace(value, Menu{});
    return HandleOf(value);
}

bool FreeMenu(HMENU menu) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    Menu* found = FindOrFail(table, menu);
    if (found == nullptr) return false;
    // A submenu freed on its own leaves its entry in the parent without a submenu.
    if (Menu* parent = Find(table, found->parent)) {
        for (MenuEntry& entry : parent->entries) {
            if (entry.submenu == menu) entry.submenu = nullptr;
        }
    }
    Free(table, menu);
    return true;
}

bool MenuExists(HMENU menu) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    return Find(table, menu) != nullptr;
}

bool InsertEntry(HMENU menu, std::optional<EntryPlace> place, MenuEntry entry) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    HMENU target = place ? place->menu : menu;
    Menu* into = FindOrFail(table, target);
    if (into == nullptr) return false;
    if (entry.submenu != nullptr && !CanAdopt(table, target, entry.submenu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return false;
    }
    if (entry.submenu != nullptr) Find(table, entry.submenu)->parent = target;
    std::size_t index = place ? std::min(place->index, into->entries.size()) : into->entries.size();
    into->entries.insert(into->entries.begin() + static_cast<std::ptrdiff_t>(index), std::move(entry));
    return true;
}

std::optional<EntryPlace> FindEntry(HMENU menu, UINT item, UINT flags) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    Menu* found = FindOrFail(table, menu);
    if (found == nullptr) return std::nullopt;
    std::optional<EntryPlace> place;
    if ((flags & MF_BYPOSITION) != 0) {
        if (item < found->entries.size()) place = EntryPlace{menu, item};
    } else {
        place = FindCommand(table, menu, item);
    }
    if (!place) SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return place;
}

bool RemoveEntry(EntryPlace place, SubmenuFate fate) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    MenuEntry* entry = EntryOrFail(table, place);
    if (entry == nullptr) return false;
    HMENU submenu = entry->submenu;
    Menu* menu = Find(table, place.menu);
    menu->entries.erase(menu->entries.begin() + static_cast<std::ptrdiff_t>(place.index));
    if (submenu == nullptr) return true;
    if (fate == SubmenuFate::kDestroy) {
        Free(table, submenu);
    } else if (Menu* child = Find(table, submenu)) {
        child->parent = nullptr;
    }
    return true;
}

std::optional<MenuEntry> EntryAt(EntryPlace place) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    MenuEntry* entry = EntryOrFail(table, place);
    if (entry == nullptr) return std::nullopt;
    return *entry;
}

bool ChangeEntry(EntryPlace place, const std::function<void(MenuEntry&)>& change) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    MenuEntry* entry = EntryOrFail(table, place);
    if (entry == nullptr) return false;
    change(*entry);
    return true;
}

bool ReplaceSubmenu(EntryPlace place, HMENU submenu) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    MenuEntry* entry = EntryOrFail(table, place);
    if (entry == nullptr || entry->submenu == submenu) return entry != nullptr;
    if (submenu != nullptr && !CanAdopt(table, place.menu, submenu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return false;
    }
    if (Menu* old = Find(table, entry->submenu)) old->parent = nullptr;
    entry->submenu = submenu;
    if (Menu* adopted = Find(table, submenu)) adopted->parent = place.menu;
    return true;
}

std::optional<std::vector<MenuEntry>> EntriesOf(HMENU menu) {
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    Menu* found = Find(table, menu);
    if (found == nullptr) return std::nullopt;
    return found->entries;
}

}  // namespace qf::device::wm
