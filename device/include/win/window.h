// Windows, window classes, messages, timers, painting entry points and rectangles of the emulated device.
//
// Every window belongs to the thread that created it, and every thread that touches windows has one
// message queue. Window handles are unique across all processes of a device and fit in 31 bits;
// SendMessageW, PostMessageW and IsWindow also reach windows of other processes of the same device
// (wParam and lParam then travel as plain numbers). Windows have no non-client area: the client area is
// the whole window. Coordinates of a child are relative to its parent's client area.
#pragma once

#include "win/base.h"
#include "win/geometry.h"

// ---- Rectangles ---------------------------------------------------------------------------------------

// Any thread. The rectangle helpers behave as on the device: a rectangle is empty when right <= left or
// bottom <= top; results are written even when the function answers FALSE (then an empty rectangle).
QF_EXTERN_C BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom);
QF_EXTERN_C BOOL WINAPI SetRectEmpty(LPRECT rect);
QF_EXTERN_C BOOL WINAPI CopyRect(LPRECT destination, const RECT* source);
QF_EXTERN_C BOOL WINAPI IsRectEmpty(const RECT* rect);
QF_EXTERN_C BOOL WINAPI EqualRect(const RECT* a, const RECT* b);
// TRUE when `point` lies inside: left and top are inside, right and bottom are outside.
QF_EXTERN_C BOOL WINAPI PtInRect(const RECT* rect, POINT point);
// Grows the rectangle by dx on the left and right and dy on the top and bottom (negative shrinks).
QF_EXTERN_C BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy);
QF_EXTERN_C BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy);
// The overlap of a and b; FALSE (and an empty destination) when they do not overlap.
QF_EXTERN_C BOOL WINAPI IntersectRect(LPRECT destination, const RECT* a, const RECT* b);
// The smallest rectangle holding both; an empty input is ignored. FALSE when both are empty.
QF_EXTERN_C BOOL WINAPI UnionRect(LPRECT destination, const RECT* a, const RECT* b);

// ---- Handles and callbacks ----------------------------------------------------------------------------

struct HMENU__;
using HMENU = HMENU__*;
struct HICON__;
using HICON = HICON__*;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;
// Brushes belong to GDI (win/gdi.h); declared here as well so that WNDCLASSW is complete on its own.
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
using ATOM = WORD;

using WNDPROC = LRESULT(CALLBACK*)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
using TIMERPROC = void(CALLBACK*)(HWND window, UINT message, UINT_PTR id, DWORD tick_ms);

#define MAKEINTATOM(atom) (reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(atom))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<ULONG_PTR>(p) >> 16) == 0)

#define HWND_TOP (reinterpret_cast<HWND>(static_cast<LONG_PTR>(0)))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<LONG_PTR>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2)))
// SendMessageW/PostMessageW to every top-level window of the calling process.
#define HWND_BROADCAST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(0xffff)))

#define ERROR_TLW_WITH_WSCHILD 1406L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_HAS_WINDOWS 1412L
#define ERROR_INVALID_INDEX 1413L

// ---- Window classes -----------------------------------------------------------------------------------

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_NOCLOSE 0x0200
#define CS_PARENTDC 0x0080
#define CS_GLOBALCLASS 0x4000

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;  // erased with by DefWindowProcW's WM_ERASEBKGND; may be null
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};
using LPWNDCLASSW = WNDCLASSW*;

// Any thread. Registers a class for this process; class names are matched without regard to case.
// Answers the class atom, or 0: ERROR_CLASS_ALREADY_EXISTS for a name already registered,
// ERROR_INVALID_PARAMETER for a missing name or procedure.
QF_EXTERN_C ATOM WINAPI RegisterClassW(const WNDCLASSW* window_class);
// Any thread. Removes a class by name or atom. FALSE with ERROR_CLASS_DOES_NOT_EXIST when unknown, or
// ERROR_CLASS_HAS_WINDOWS while a window of the class exists (including one inside its WM_DESTROY).
QF_EXTERN_C BOOL WINAPI UnregisterClassW(LPCWSTR class_name, HINSTANCE instance);
// Any thread. Copies the class name of a window of this process (at most max_count - 1 characters and
// a terminating zero); answers the characters copied, 0 for an unknown window.
QF_EXTERN_C int WINAPI GetClassNameW(HWND window, LPWSTR class_name, int max_count);

// ---- Windows ------------------------------------------------------------------------------------------

#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_NOACTIVATE 0x08000000L
#define CW_USEDEFAULT (static_cast<int>(0x80000000u))

struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};
using LPCREATESTRUCTW = CREATESTRUCTW*;

// Any thread; the window belongs to the calling thread. A WS_CHILD window needs a parent of this
// process; `menu` is then the child's id (GWL_ID). CW_USEDEFAULT places a top-level window at 0,0 with
// the screen's size. Messages, in order: WM_CREATE (lParam: the CREATESTRUCTW; -1 fails the creation,
// which then sends WM_DESTROY and answers null), WM_SIZE, WM_MOVE, and with WS_VISIBLE what ShowWindow
// sends. The new window is on top of its siblings. Null with ERROR_CANNOT_FIND_WND_CLASS,
// ERROR_TLW_WITH_WSCHILD or ERROR_INVALID_WINDOW_HANDLE (bad parent).
QF_EXTERN_C HWND WINAPI CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR window_name, DWORD style,
                                        int x, int y, int width, int height, HWND parent, HMENU menu,
                                        HINSTANCE instance, LPVOID param);
inline HWND CreateWindowW(LPCWSTR class_name, LPCWSTR window_name, DWORD style, int x, int y, int width,
                          int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    return CreateWindowExW(0, class_name, window_name, style, x, y, width, height, parent, menu, instance,
                           param);
}
// Owner thread only (else FALSE, ERROR_ACCESS_DENIED). Takes focus and activation away (WM_KILLFOCUS,
// WM_ACTIVATE WA_INACTIVE), sends WM_DESTROY to the window and then to each descendant, parents first, so
// that children still exist while their parent handles it; then frees the descendants and the window,
// with their timers and surfaces.
QF_EXTERN_C BOOL WINAPI DestroyWindow(HWND window);
// Any thread. TRUE for a live window of any process of the device.
QF_EXTERN_C BOOL WINAPI IsWindow(HWND window);
// Any thread. TRUE when the window and all of its ancestors have WS_VISIBLE.
QF_EXTERN_C BOOL WINAPI IsWindowVisible(HWND window);
// Any thread. The parent of a child window; null for a top-level window or an unknown one.
QF_EXTERN_C HWND WINAPI GetParent(HWND window);
// Any thread. The topmost top-level window of this process whose class (null: any) and name (null: any)
// match, both without regard to case; null when none does.
QF_EXTERN_C HWND WINAPI FindWindowW(LPCWSTR class_name, LPCWSTR window_name);
// Any thread. The topmost visible window, child windows included, at a screen point; null when none.
QF_EXTERN_C HWND WINAPI WindowFromPoint(POINT point);

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};
using LPWINDOWPOS = WINDOWPOS*;

// Owner thread of the window. SW_HIDE hides, every other command shows; a change sends WM_SHOWWINDOW
// and WM_WINDOWPOSCHANGED, and showing invalidates the window. Showing a top-level window with
// SW_SHOWNORMAL, SW_SHOW, SW_SHOWMAXIMIZED, SW_RESTORE or SW_SHOWDEFAULT also brings it to the top and
// makes it the foreground window; hiding the foreground window leaves none. Answers whether the window
// was visible before.
QF_EXTERN_C BOOL WINAPI ShowWindow(HWND window, int command);
// Owner thread. Moves, sizes, restacks (HWND_TOP, HWND_BOTTOM or after a sibling), shows or hides a
// window as `flags` say, then sends WM_WINDOWPOSCHANGED (whose DefWindowProcW sends WM_SIZE and
// WM_MOVE). A top-level window brought to the top without SWP_NOACTIVATE becomes the foreground window.
// A changed size resizes the window's surface and, unless SWP_NOREDRAW, invalidates the whole window
// when its class has CS_HREDRAW (width changed) or CS_VREDRAW (height changed), else only the area that
// grew. Showing invalidates the whole window.
QF_EXTERN_C BOOL WINAPI SetWindowPos(HWND window, HWND insert_after, int x, int y, int width, int height,
                                     UINT flags);
// Owner thread. SetWindowPos without restacking; `repaint` FALSE leaves the window valid.
QF_EXTERN_C BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// Owner thread. Puts the window on top of its siblings; a top-level window also becomes the foreground.
QF_EXTERN_C BOOL WINAPI BringWindowToTop(HWND window);
// Any thread. The client area: 0, 0, width, height.
QF_EXTERN_C BOOL WINAPI GetClientRect(HWND window, LPRECT rect);
// Any thread. The window's rectangle in screen coordinates.
QF_EXTERN_C BOOL WINAPI GetWindowRect(HWND window, LPRECT rect);
// Any thread. Converts between the window's client coordinates and the screen's.
QF_EXTERN_C BOOL WINAPI ClientToScreen(HWND window, LPPOINT point);
QF_EXTERN_C BOOL WINAPI ScreenToClient(HWND window, LPPOINT point);

#define GWL_WNDPROC (-4)
#define GWL_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_USERDATA (-21)
#define GWLP_WNDPROC GWL_WNDPROC
#define GWLP_ID GWL_ID
#define GWLP_USERDATA GWL_USERDATA

// Any thread, windows of this process. The LONG forms keep the low 32 bits: a pointer (the procedure,
// user data holding an address) needs the LONG_PTR forms. Setting GWL_STYLE changes WS_VISIBLE without
// sending messages, as on the device. Unknown index: 0 with ERROR_INVALID_INDEX. The Set forms answer the
// previous value.
QF_EXTERN_C LONG WINAPI GetWindowLongW(HWND window, int index);
QF_EXTERN_C LONG WINAPI SetWindowLongW(HWND window, int index, LONG value);
QF_EXTERN_C LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index);
QF_EXTERN_C LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value);

// Any thread. Send WM_SETTEXT / WM_GETTEXT / WM_GETTEXTLENGTH, which DefWindowProcW answers from the
// window's text. GetWindowTextW copies at most max_count - 1 characters and a zero and answers how many.
QF_EXTERN_C BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text);
QF_EXTERN_C int WINAPI GetWindowTextW(HWND window, LPWSTR text, int max_count);
QF_EXTERN_C int WINAPI GetWindowTextLengthW(HWND window);

// ---- Focus and activation -----------------------------------------------------------------------------

// Calling thread's windows only. Sends WM_KILLFOCUS to the window losing the focus and WM_SETFOCUS to the
// one gaining it; null removes the focus. Answers the previous focus window (null on failure).
QF_EXTERN_C HWND WINAPI SetFocus(HWND window);
// The calling thread's focus window, or null.
QF_EXTERN_C HWND WINAPI GetFocus();
// Any thread. The process's foreground (active) top-level window; a child given here activates its
// top-level ancestor. The previous foreground window gets WM_ACTIVATE WA_INACTIVE and the new one
// WM_ACTIVATE WA_ACTIVE (sent, so across threads this waits for both).
QF_EXTERN_C BOOL WINAPI SetForegroundWindow(HWND window);
QF_EXTERN_C HWND WINAPI GetForegroundWindow();

// ---- Messages -----------------------------------------------------------------------------------------

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETREDRAW 0x000B
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SYSCOLORCHANGE 0x0015
#define WM_SHOWWINDOW 0x0018
#define WM_SETTINGCHANGE 0x001A
#define WM_WININICHANGE WM_SETTINGCHANGE
#define WM_FONTCHANGE 0x001D
#define WM_CANCELMODE 0x001F
#define WM_SETCURSOR 0x0020
#define WM_DRAWITEM 0x002B
#define WM_MEASUREITEM 0x002C
#define WM_DELETEITEM 0x002D
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_NOTIFY 0x004E
#define WM_HELP 0x0053
#define WM_KEYFIRST 0x0100
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_DEADCHAR 0x0103
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_KEYLAST 0x0108
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_INITMENUPOPUP 0x0117
#define WM_MENUSELECT 0x011F
#define WM_ENTERIDLE 0x0121
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEFIRST 0x0200
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MOUSELAST 0x0209
#define WM_CAPTURECHANGED 0x0215
#define WM_CUT 0x0300
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define WM_CLEAR 0x0303
#define WM_USER 0x0400
#define WM_APP 0x8000

#define WA_INACTIVE 0
#define WA_ACTIVE 1
#define WA_CLICKACTIVE 2
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1
#define SIZE_MAXIMIZED 2
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008

#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<SHORT>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<SHORT>(HIWORD(lp))))

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;  // GetTickCount when the message was posted or generated
    POINT pt;    // screen position of the pen at that time
};
using LPMSG = MSG*;

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001
#define PM_NOYIELD 0x0002

// Any thread. To a window of the calling thread: calls its procedure directly. To a window of another
// thread: queues the message for that thread, which handles it the next time it looks at its queue
// (GetMessageW, PeekMessageW, or while it waits in a SendMessageW of its own), and waits for the result;
// while waiting, messages sent to the calling thread are handled, so two threads that send to each other
// never deadlock. To a window of another process: the same over that process's socket. An unknown or
// dead window answers 0 at once. A window of another process that has not answered within 10 s of host
// time (a stopped or hung process) answers 0 with ERROR_TIMEOUT.
QF_EXTERN_C LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

#define SMTO_NORMAL 0x0000
#define SMTO_BLOCK 0x0001
#define SMTO_ABORTIFHUNG 0x0002
// Any thread. SendMessageW that gives up once `timeout_ms` of host time (the device clock may be pinned)
// have passed without an answer: answers 0 with ERROR_TIMEOUT then (the message may still be handled
// later; its result is dropped), 0 with ERROR_INVALID_WINDOW_HANDLE for an unknown window, else non-zero
// with the procedure's result in *result (when not null). SMTO_BLOCK: messages sent to the calling thread
// wait meanwhile; SMTO_ABORTIFHUNG is accepted and waits like SMTO_NORMAL.
QF_EXTERN_C LRESULT WINAPI SendMessageTimeoutW(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                               UINT flags, UINT timeout_ms, DWORD_PTR* result);
// Any thread. Appends the message to the owner thread's queue and returns; null posts to the calling
// thread's own queue (a thread message). FALSE with ERROR_INVALID_WINDOW_HANDLE for an unknown window.
QF_EXTERN_C BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Calling thread. Makes the thread's GetMessageW answer WM_QUIT (wParam: exit_code) once nothing posted
// is left.
QF_EXTERN_C void WINAPI PostQuitMessage(int exit_code);
// Calling thread. Waits for the next message of the window (null: any; its children included) within
// [filter_min, filter_max] (0, 0: any), handling sent messages meanwhile. Order: posted messages,
// WM_QUIT, WM_PAINT for windows with an invalid area, WM_TIMER for the timers that fell due on the device
// clock (each tick, in order of due time). Answers 0 for WM_QUIT, -1 for an unknown window, else TRUE.
QF_EXTERN_C BOOL WINAPI GetMessageW(LPMSG msg, HWND window, UINT filter_min, UINT filter_max);
// Calling thread. As GetMessageW without waiting: FALSE when nothing is there. PM_NOREMOVE leaves the
// message in place.
QF_EXTERN_C BOOL WINAPI PeekMessageW(LPMSG msg, HWND window, UINT filter_min, UINT filter_max,
                                     UINT remove_flags);
// Calling thread. Posts WM_CHAR for a WM_KEYDOWN of a key that types a character (letters in lower
// case, digits, space, return, backspace, tab, escape); answers whether it did.
QF_EXTERN_C BOOL WINAPI TranslateMessage(const MSG* msg);
// Calling thread. Calls the procedure of the message's window (a WM_TIMER with a TIMERPROC in lParam
// calls that instead) and answers its result. A WM_PAINT that left the window invalid validates it.
QF_EXTERN_C LRESULT WINAPI DispatchMessageW(const MSG* msg);
// Calling thread. MAKELONG(x, y) of the screen position of the message last retrieved.
QF_EXTERN_C DWORD WINAPI GetMessagePos();
// Any thread. The default handling: WM_PAINT validates; WM_ERASEBKGND fills with the class brush;
// WM_CLOSE destroys the window; WM_WINDOWPOSCHANGED sends WM_SIZE and WM_MOVE; WM_SETTEXT, WM_GETTEXT and
// WM_GETTEXTLENGTH keep the window text; WM_ACTIVATE gives an activated window the focus. Else 0.
QF_EXTERN_C LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// ---- Timers -------------------------------------------------------------------------------------------

#define USER_TIMER_MINIMUM 0x0000000A

// Calling thread, which must own `window`. Starts (or restarts) timer `id` of the window with a period
// of `elapse_ms` (at least USER_TIMER_MINIMUM) on the device clock; each tick becomes a WM_TIMER in the
// thread's queue. A null window makes a thread timer with a fresh id. Answers the id (1 for id 0 of a
// window), or 0 for a window of another thread or process.
QF_EXTERN_C UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse_ms, TIMERPROC timer_proc);
// Calling thread. Stops the timer; FALSE when it does not exist.
QF_EXTERN_C BOOL WINAPI KillTimer(HWND window, UINT_PTR id);

// ---- Painting -----------------------------------------------------------------------------------------

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;  // TRUE when the background still needs erasing (WM_ERASEBKGND answered 0)
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// Any thread, windows of this process. Adds `rect` (client coordinates, null: all) to the invalid area;
// `erase` asks for WM_ERASEBKGND at the next BeginPaint. A null window invalidates every window.
QF_EXTERN_C BOOL WINAPI InvalidateRect(HWND window, const RECT* rect, BOOL erase);
// Any thread. Removes `rect` (null: all) from the invalid area: it is removed when it covers the area.
QF_EXTERN_C BOOL WINAPI ValidateRect(HWND window, const RECT* rect);
// Any thread. The bounding rectangle of the invalid area; answers whether there is one.
QF_EXTERN_C BOOL WINAPI GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
// Any thread. Sends WM_PAINT at once when the window has an invalid area.
QF_EXTERN_C BOOL WINAPI UpdateWindow(HWND window);
// Owner thread. Starts a frame of the window's surface, sends WM_ERASEBKGND when an erase was asked
// for, fills `paint` and validates the window. The DC draws into the window's surface in client
// coordinates; EndPaint releases it.
QF_EXTERN_C HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint);
QF_EXTERN_C BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint);
// Any thread. A DC on the window's surface, released with ReleaseDC and the same window. A null window
// gives a DC that answers GetDeviceCaps for the screen; what is drawn on it is not shown.
QF_EXTERN_C HDC WINAPI GetDC(HWND window);
QF_EXTERN_C int WINAPI ReleaseDC(HWND window, HDC dc);

// ---- Screen metrics -----------------------------------------------------------------------------------

#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYHSCROLL 3
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CYMENU 15
#define SM_CXSMICON 49
#define SM_CYSMICON 50

// Any thread. Screen size from the device profile; the other measures at the profile's dpi; 0 for an
// index not listed above.
QF_EXTERN_C int WINAPI GetSystemMetrics(int index);

// ---- Virtual keys -------------------------------------------------------------------------------------

#define VK_LBUTTON 0x01
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_APPS 0x5D
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
// The Pocket PC's hardware keys: the D-pad and its action button, the soft keys, talk and end.
#define VK_TUP VK_UP
#define VK_TDOWN VK_DOWN
#define VK_TLEFT VK_LEFT
#define VK_TRIGHT VK_RIGHT
#define VK_TACTION VK_RETURN
#define VK_TSOFT1 VK_F1
#define VK_TSOFT2 VK_F2
#define VK_TTALK VK_F3
#define VK_TEND VK_F4
#define VK_THOME VK_LWIN
