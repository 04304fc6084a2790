// The top-level window that must be in front for the item to refresh its list: the Today screen's own
// window unless the settings name another (a replacement shell).
#pragma once

#include <windows.h>

#include <string>

namespace qf::host {

inline constexpr char16_t kTodayShellClass[] = u"DesktopExplorerWindow";

struct TopLevelSearch {
    std::u16string class_name;
    std::u16string window_name;  // empty: any window name
};

// Any thread. The search for Today/TopLevelClassName and Today/TopLevelWindowName: an empty class means
// the Today screen's class with any window name, whatever name is set.
TopLevelSearch TopLevelSearchFor(const std::u16string& class_setting, const std::u16string& name_setting);

// User-interface thread. Reads the settings and finds the window; falls back to any window of the Today
// screen's class; null when there is none either.
HWND FindTopLevelWindow();

}  // namespace qf::host
