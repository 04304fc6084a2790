// The Today screen's item registrations: HKLM\Software\Microsoft\Today\Items\<name>, one key per item.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qf::emu {

struct TodayItemRegistration {
    std::u16string name;  // the key name
    std::u16string dll;   // device path of the item's library
    DWORD order = 0;
    bool enabled = false;
    bool options = false;
};

// Main thread. The custom items (Type 4 with a DLL) in Today order: by Order, then by name.
std::vector<TodayItemRegistration> ReadTodayItems();

}  // namespace qf::emu
