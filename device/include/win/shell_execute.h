// Starting programs and opening documents and links: ShellExecuteEx. The device starts no host process;
// the shell records every launch, and the host is told of it (qfdevice/launches.h), so that a host can
// show it or hand a link to the desktop's browser.
#pragma once

#include "win/base.h"
#include "win/registry.h"

#define SEE_MASK_NOCLOSEPROCESS 0x00000040u
#define SEE_MASK_FLAG_NO_UI 0x00000400u

// hInstApp after a call: > 32 on success, else one of these.
#define SE_ERR_FNF 2
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_SUCCESS 33

struct SHELLEXECUTEINFOW {
    DWORD cbSize;  // sizeof(SHELLEXECUTEINFOW)
    ULONG fMask;   // SEE_MASK_*
    HWND hwnd;
    LPCWSTR lpVerb;        // null or "open" opens; any other verb is recorded as given
    LPCWSTR lpFile;        // a device path, a program name of \Windows, or an http(s) link
    LPCWSTR lpParameters;  // may be null
    LPCWSTR lpDirectory;   // may be null
    int nShow;             // SW_*
    HINSTANCE hInstApp;    // out: SE_ERR_SUCCESS or SE_ERR_*
    LPVOID lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;  // out: always null, since no host process is started
};
using LPSHELLEXECUTEINFOW = SHELLEXECUTEINFOW*;
using SHELLEXECUTEINFO = SHELLEXECUTEINFOW;
using LPSHELLEXECUTEINFO = LPSHELLEXECUTEINFOW;

// Any thread. Succeeds when lpFile names a file that exists in the device root (a name without a folder
// is looked up in \Windows), or is an http:// or https:// link while the device has its browser
// \Windows\iexplore.exe; the launch is then recorded and the host's launch hook told. FALSE with
// ERROR_FILE_NOT_FOUND (hInstApp SE_ERR_FNF) for a missing file, ERROR_INVALID_PARAMETER for a bad record
// (null, wrong cbSize, no lpFile).
QF_EXTERN_C BOOL WINAPI ShellExecuteExW(LPSHELLEXECUTEINFOW info);
inline BOOL ShellExecuteEx(LPSHELLEXECUTEINFO info) { return ShellExecuteExW(info); }
