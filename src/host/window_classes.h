// The item's two window classes: the item window and, in tab mode, the control strip beside it.
#pragma once

#include <windows.h>

namespace qf::host {

inline constexpr char16_t kItemClassName[] = u"ZelTodayRSSClass";
inline constexpr char16_t kItemWindowName[] = u"ZelTodayRSS";
inline constexpr char16_t kControlStripClassName[] = u"ZelTodayRSSPBCTRLClass";
inline constexpr char16_t kControlStripWindowName[] = u"ZelTodayRSSPBCTRL";

// User-interface thread. Registers the class for `instance`, replacing a class of the same name left
// over from an earlier load. False when the registration fails.
bool RegisterItemClass(HINSTANCE instance);
bool RegisterControlStripClass(HINSTANCE instance);

// The window procedures. User-interface thread; no exception leaves them.
LRESULT CALLBACK ItemWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CALLBACK ControlStripProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace qf::host
