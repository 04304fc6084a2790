// Shell services whose user interface belongs to the host: message boxes and the wait cursor. Each call
// goes to a hook that the host installs (qfdevice/shell_hooks.h); without one, a headless default
// answers (message boxes: IDNO for Yes/No questions, IDOK otherwise).
#pragma once

#include "win/base.h"

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_YESNO 0x00000004u
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONINFORMATION 0x00000040u
#define MB_SETFOREGROUND 0x00010000u
#define MB_TOPMOST 0x00040000u
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

// Any thread. Shows a message box through the host's hook and answers the button chosen.
QF_EXTERN_C int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

struct HCURSOR__;
using HCURSOR = HCURSOR__*;
#define IDC_WAIT (reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(32514)))
#define IDC_ARROW (reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(32512)))
// Any thread. The system cursors IDC_WAIT and IDC_ARROW; null for anything else.
QF_EXTERN_C HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name);
// Any thread. Shows `cursor` (null hides the wait cursor) through the host's hook; answers the previous.
QF_EXTERN_C HCURSOR WINAPI SetCursor(HCURSOR cursor);
