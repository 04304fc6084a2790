// Popup menus of the emulated device: building them, checking and graying entries, owner-drawn entries,
// and tracking a popup menu at a screen position until the user chooses an entry or cancels.
//
// Menus are process-wide objects that any thread may build and change; a menu is tracked on the thread
// that owns its owner window. Handles are small numbers that fit a UINT (so that WM_MEASUREITEM and
// WM_DRAWITEM can carry a submenu's handle in itemID) and are never reused within a process.
#pragma once

#include "win/base.h"
#include "win/gdi.h"
#include "win/window.h"

#define ERROR_INVALID_MENU_HANDLE 1401L
#define ERROR_MENU_ITEM_NOT_FOUND 1456L
#define ERROR_POPUP_ALREADY_ACTIVE 1446L

// ---- Entry flags (AppendMenuW, InsertMenuW, CheckMenuItem, EnableMenuItem) ------------------------------

#define MF_BYCOMMAND 0x00000000u
#define MF_BYPOSITION 0x00000400u
#define MF_STRING 0x00000000u
#define MF_ENABLED 0x00000000u
#define MF_GRAYED 0x00000001u
#define MF_DISABLED 0x00000002u
#define MF_UNCHECKED 0x00000000u
#define MF_CHECKED 0x00000008u
#define MF_POPUP 0x00000010u
#define MF_OWNERDRAW 0x00000100u
#define MF_SEPARATOR 0x00000800u

// ---- MENUITEMINFOW ---------------------------------------------------------------------------------------

#define MIIM_STATE 0x00000001u
#define MIIM_ID 0x00000002u
#define MIIM_SUBMENU 0x00000004u
#define MIIM_TYPE 0x00000010u
#define MIIM_DATA 0x00000020u
#define MIIM_STRING 0x00000040u
#define MIIM_FTYPE 0x00000100u

#define MFT_STRING MF_STRING
#define MFT_OWNERDRAW MF_OWNERDRAW
#define MFT_SEPARATOR MF_SEPARATOR
#define MFS_ENABLED MF_ENABLED
#define MFS_GRAYED 0x00000003u
#define MFS_DISABLED MFS_GRAYED
#define MFS_UNCHECKED MF_UNCHECKED
#define MFS_CHECKED MF_CHECKED

struct MENUITEMINFOW {
    UINT cbSize;
    UINT fMask;   // MIIM_*: which of the fields below are read or written
    UINT fType;   // MIIM_FTYPE: MFT_STRING, MFT_OWNERDRAW or MFT_SEPARATOR
    UINT fState;  // MIIM_STATE: MFS_CHECKED, MFS_GRAYED
    UINT wID;     // MIIM_ID
    HMENU hSubMenu;
    HBITMAP hbmpChecked;    // not used
    HBITMAP hbmpUnchecked;  // not used
    ULONG_PTR dwItemData;   // MIIM_DATA: the owner's value, handed back in WM_MEASUREITEM/WM_DRAWITEM
    LPWSTR dwTypeData;      // MIIM_STRING: the entry's text (owner-drawn entries may have one too)
    UINT cch;               // characters of dwTypeData, without the terminating zero
    HBITMAP hbmpItem;       // not used
};
using LPMENUITEMINFOW = MENUITEMINFOW*;
using LPCMENUITEMINFOW = const MENUITEMINFOW*;

// ---- Owner-drawn entries ---------------------------------------------------------------------------------

#define ODT_MENU 1
#define ODA_DRAWENTIRE 0x0001u
#define ODA_SELECT 0x0002u
#define ODA_FOCUS 0x0004u
#define ODS_SELECTED 0x0001u
#define ODS_GRAYED 0x0002u
#define ODS_DISABLED 0x0004u
#define ODS_CHECKED 0x0008u
#define ODS_FOCUS 0x0010u

// WM_MEASUREITEM (lParam) for an owner-drawn entry: the owner sets itemWidth and itemHeight, the whole
// size of the entry in pixels (the menu adds only its frame around the entries).
struct MEASUREITEMSTRUCT {
    UINT CtlType;  // ODT_MENU
    UINT CtlID;    // 0
    UINT itemID;   // the command id, or the submenu's handle for a submenu entry
    UINT itemWidth;
    UINT itemHeight;
    ULONG_PTR itemData;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

// WM_DRAWITEM (lParam) for an owner-drawn entry: the owner draws the whole entry (background, check mark,
// text, submenu arrow) into rcItem of hDC, a DC of the popup window valid during the message only.
struct DRAWITEMSTRUCT {
    UINT CtlType;     // ODT_MENU
    UINT CtlID;       // 0
    UINT itemID;      // as in MEASUREITEMSTRUCT
    UINT itemAction;  // ODA_DRAWENTIRE, or ODA_SELECT when only the highlight changed
    UINT itemState;   // ODS_SELECTED (highlighted), ODS_GRAYED | ODS_DISABLED, ODS_CHECKED
    HWND hwndItem;    // the menu: reinterpret_cast<HMENU>(hwndItem)
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

// ---- Building menus ----------------------------------------------------------------------------------

// Any thread. An empty popup menu, owned by the caller until it becomes a submenu of another menu; then
// that menu owns it. Free with DestroyMenu.
QF_EXTERN_C HMENU WINAPI CreatePopupMenu();
// Any thread. Frees the menu and, recursively, its submenus. FALSE (ERROR_INVALID_MENU_HANDLE) for an
// unknown handle. A menu being tracked stays usable until the tracking ends.
QF_EXTERN_C BOOL WINAPI DestroyMenu(HMENU menu);
// Any thread. TRUE for a live menu handle.
QF_EXTERN_C BOOL WINAPI IsMenu(HMENU menu);

// Any thread. Appends an entry. `flags`: MF_STRING (text = `item`), MF_SEPARATOR, or MF_OWNERDRAW (`item`
// is the owner's item data, not read), combined with MF_POPUP (`id` is then the submenu's HMENU, which
// the menu takes over), MF_CHECKED and MF_GRAYED/MF_DISABLED. FALSE for an unknown menu, a submenu that
// is not a live menu or already belongs to another menu, or a submenu that would contain its parent.
QF_EXTERN_C BOOL WINAPI AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR item);
// Any thread. As AppendMenuW, inserting before the entry at `position` (MF_BYPOSITION; past the end or
// -1 appends) or before the entry with the command id `position` (MF_BYCOMMAND, searched depth first
// through the submenus).
QF_EXTERN_C BOOL WINAPI InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCWSTR item);
// Any thread. Removes an entry; DeleteMenu also destroys its submenu, RemoveMenu hands the submenu back
// to the caller.
QF_EXTERN_C BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags);
QF_EXTERN_C BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags);

// Any thread. MENUITEMINFOW access to one entry, by position (`by_position` TRUE) or by command id.
// InsertMenuItemW inserts before that entry (or appends when there is none). GetMenuItemInfoW copies
// the text into dwTypeData (cch characters of room; cch is set to the text's length) when MIIM_STRING
// is asked for. cbSize must be at least sizeof(MENUITEMINFOW).
QF_EXTERN_C BOOL WINAPI InsertMenuItemW(HMENU menu, UINT item, BOOL by_position, LPCMENUITEMINFOW info);
QF_EXTERN_C BOOL WINAPI SetMenuItemInfoW(HMENU menu, UINT item, BOOL by_position, LPCMENUITEMINFOW info);
QF_EXTERN_C BOOL WINAPI GetMenuItemInfoW(HMENU menu, UINT item, BOOL by_position, LPMENUITEMINFOW info);

// Any thread. Sets or clears the check mark (MF_CHECKED/MF_UNCHECKED with MF_BYCOMMAND or MF_BYPOSITION);
// answers the previous state (MF_CHECKED or MF_UNCHECKED), or (DWORD)-1 when there is no such entry.
QF_EXTERN_C DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT flags);
// Any thread. MF_ENABLED, MF_GRAYED or MF_DISABLED, as CheckMenuItem; answers the previous state or -1.
QF_EXTERN_C BOOL WINAPI EnableMenuItem(HMENU menu, UINT item, UINT flags);
// Any thread. The number of entries, or -1 for an unknown menu.
QF_EXTERN_C int WINAPI GetMenuItemCount(HMENU menu);
// Any thread. The command id of the entry at `position`; (UINT)-1 for a submenu entry or none.
QF_EXTERN_C UINT WINAPI GetMenuItemID(HMENU menu, int position);
// Any thread. The submenu of the entry at `position`, or null.
QF_EXTERN_C HMENU WINAPI GetSubMenu(HMENU menu, int position);
// Any thread. The entry's MF_* flags (MF_CHECKED, MF_GRAYED, MF_DISABLED, MF_SEPARATOR, MF_POPUP,
// MF_OWNERDRAW), or (UINT)-1 when there is no such entry.
QF_EXTERN_C UINT WINAPI GetMenuState(HMENU menu, UINT item, UINT flags);
// Any thread. Copies the entry's text as GetWindowTextW does; answers its length.
QF_EXTERN_C int WINAPI GetMenuStringW(HMENU menu, UINT item, LPWSTR text, int max_count, UINT flags);

// ---- Tracking --------------------------------------------------------------------------------------------

#define TPM_LEFTBUTTON 0x0000u
#define TPM_RIGHTBUTTON 0x0002u
#define TPM_LEFTALIGN 0x0000u
#define TPM_CENTERALIGN 0x0004u
#define TPM_RIGHTALIGN 0x0008u
#define TPM_TOPALIGN 0x0000u
#define TPM_VCENTERALIGN 0x0010u
#define TPM_BOTTOMALIGN 0x0020u
#define TPM_NONOTIFY 0x0080u
#define TPM_RETURNCMD 0x0100u

#define WM_ENTERMENULOOP 0x0211
#define WM_EXITMENULOOP 0x0212

struct TPMPARAMS {
    UINT cbSize;
    RECT rcExclude;  // not used
};
using LPTPMPARAMS = TPMPARAMS*;

// Owner thread of `owner`, which must be a window of the calling thread. Shows the popup menu with its
// corner at the screen point (x, y) as the TPM_* alignment says, kept on the screen, and runs a modal
// loop until an entry is chosen or the menu is cancelled (EndMenu, a tap outside the menu, Escape, the
// owner's destruction, or WM_QUIT, which stays queued). Meanwhile every other message of the thread is
// dispatched as usual, so timers, paints and sent messages keep flowing.
//
// The owner gets WM_ENTERMENULOOP (wParam TRUE); then for each popup as it opens (the menu itself, then
// each submenu) WM_INITMENUPOPUP (wParam the popup's HMENU, lParam the index of its entry in the parent,
// 0 for the menu itself) followed by one WM_MEASUREITEM per owner-drawn entry; WM_DRAWITEM whenever such
// an entry is drawn (at once when a popup opens or its highlight moves); WM_EXITMENULOOP at the end.
// TPM_NONOTIFY leaves out the three notifications, not the measuring and drawing. A chosen command is
// posted as WM_COMMAND (wParam: the id) after the popups have gone, unless TPM_RETURNCMD.
//
// Pen: a tap on an entry highlights it; lifting the pen on it chooses it, or opens its submenu. Keys:
// Up/Down move the highlight, Right or Return open a submenu, Return chooses a command, Left or Escape
// close the innermost popup. Gray entries and separators are never chosen.
//
// Answers, with TPM_RETURNCMD, the chosen id or 0; otherwise TRUE, also when cancelled. FALSE for a bad
// menu or owner, or ERROR_POPUP_ALREADY_ACTIVE while another menu is tracked in this process.
// Without a host hook (qfdevice/menu_host.h) nobody can answer, and the menu closes at once, cancelled.
QF_EXTERN_C BOOL WINAPI TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner,
                                         LPTPMPARAMS params);
QF_EXTERN_C BOOL WINAPI TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                                       const RECT* rect);
// Thread of the tracked menu. Cancels it; FALSE when no menu is tracked on the calling thread.
QF_EXTERN_C BOOL WINAPI EndMenu();
