// What the plug-in's exported functions do. plugin_exports.cpp gives them their exported C names; tests
// call them here. User-interface thread of the host; none throws.
#pragma once

#include <todaycmn.h>

namespace qf::host {

// The Today screen's entry: null (and nothing created) for a disabled item; else the item window, a
// child of `parent`, whose handle also goes to Today/HWND.
HWND InitializeTodayItem(TODAYLISTITEM* record, HWND parent);

// The tab host's entries.
struct TabRect {
    int x, y, width, height;
};
// Creates the item window and the control strip as children of `parent`; the strip's handle goes to
// *control_strip (when not null). Answers the item window.
HWND CreateTab(HWND parent, const TabRect& item_rect, const TabRect& strip_rect, HWND* control_strip);
// Destroys both windows; nothing for windows that do not exist.
void DestroyTab();
void ShowTab();
void HideTab();
// The tab API version this library implements.
int TabApiVersion();
// Sets the item height and moves the item window there; the control strip keeps its place.
void MoveTab(const TabRect& item_rect);
// Hot keys: act only when `pressed` is non-zero; always answer 1.
int HotKeyDown(BYTE pressed);
int HotKeyUp(BYTE pressed);
int HotKeyEnter(BYTE pressed);
// Shows the About text; answers the repaint's result (FALSE without an item window).
BOOL ShowTabAbout();
// Asks the main application for its settings screen: General/StartMode = 1, then starts it with "-t".
// Answers 0.
int ShowTabSettings();

}  // namespace qf::host
