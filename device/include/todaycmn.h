// The Today screen's interface to its items: the record the shell passes to InitializeCustomItem, the
// messages it sends an item window and the ones an item sends back to the shell. Values as on the device.
#pragma once

#include <windows.h>

enum TODAYLISTITEMTYPE {
    tlitOwnerInfo = 0,
    tlitAppointments,
    tlitMail,
    tlitTasks,
    tlitCustom,
    tlitReserved1,
    tlitReserved2,
    tlitReserved3,
    tlitNil
};

#define MAX_ITEMNAME 32

// One item of the Today screen. The shell owns it for the life of the item and keeps it at one address;
// the item writes its height to `cyp` while answering WM_TODAYCUSTOM_QUERYREFRESHCACHE.
struct TODAYLISTITEM {
    TCHAR szName[MAX_ITEMNAME];  // the item's key below HKLM\Software\Microsoft\Today\Items
    TODAYLISTITEMTYPE tlit;
    DWORD dwOrder;
    DWORD cyp;  // height in pixels; 0 until the item first reports one
    BOOL fEnabled;
    BOOL fOptions;
    DWORD grfFlags;
    TCHAR szDLLPath[MAX_PATH];
    HINSTANCE hinstDLL;
    HWND hwndCustom;
    BOOL fSizeOnDraw;
    BYTE* prgbCachedData;
    DWORD cbCachedData;
    DWORD dwSelectability;
};

// The item's entry point, exported at ordinal 240 on the device; here looked up by name.
#define ORDINAL_INITIALIZEITEM 240
using PFNCUSTOMINITIALIZEITEM = HWND (*)(TODAYLISTITEM* item, HWND parent);

// Shell -> item window. wParam is the item's TODAYLISTITEM* for CLEARCACHE and QUERYREFRESHCACHE, the
// virtual key that moved the selection for RECEIVEDSELECTION and USERNAVIGATION.
#define WM_TODAYCUSTOM_CLEARCACHE (WM_USER + 242)
#define WM_TODAYCUSTOM_QUERYREFRESHCACHE (WM_USER + 243)
#define WM_TODAYCUSTOM_RECEIVEDSELECTION (WM_USER + 244)
#define WM_TODAYCUSTOM_LOSTSELECTION (WM_USER + 245)
#define WM_TODAYCUSTOM_USERNAVIGATION (WM_USER + 246)
#define WM_TODAYCUSTOM_ACTION (WM_USER + 247)

// Item -> shell (the item window's parent).
#define TODAYM_GETCOLOR (WM_USER + 100)       // wParam: TODAYCOLOR_*; answers a COLORREF
#define TODAYM_DRAWWATERMARK (WM_USER + 101)  // lParam: TODAYDRAWWATERMARKINFO*
#define TODAYM_TOOKSELECTION (WM_USER + 102)
#define TODAYM_REQUESTREFRESH (WM_USER + 103)

#define TODAYCOLOR_TEXT 0x10000004
#define TODAYCOLOR_HIGHLIGHT 0x10000022
#define TODAYCOLOR_HIGHLIGHTEDTEXT 0x10000023

// Asks the shell to paint its background picture into `hdc`, for the part of the screen that `rc` of
// the window `hwnd` covers.
struct TODAYDRAWWATERMARKINFO {
    HDC hdc;
    RECT rc;
    HWND hwnd;
};
