// Pocket PC shell notifications (aygshell): a bubble with a title and an HTML text that the host shows
// until its duration ends or the user answers. HTML buttons named "cmd:N" (<input type=button
// name='cmd:10' value='Download Now'>) send WM_COMMAND N to the sink window when pressed.
#pragma once

#include "win/base.h"
#include "win/guid.h"

struct HICON__;
using HICON = HICON__*;

#define ERROR_NOT_FOUND 1168L

enum SHNP { SHNP_ICONIC = 0, SHNP_INFORM = 0x1B1 };

#define SHNF_STRAIGHTTOTRAY 0x00000001u
#define SHNF_CRITICAL 0x00000002u
#define SHNF_FORCEMESSAGE 0x00000008u
#define SHNF_DISPLAYON 0x00000010u
#define SHNF_SILENT 0x00000020u

struct SHNOTIFICATIONDATA {
    DWORD cbStruct;  // sizeof(SHNOTIFICATIONDATA)
    DWORD dwID;      // with clsid, identifies the notification
    SHNP npPriority;
    DWORD csDuration;  // seconds of device time the bubble stays up; 0: until answered
    HICON hicon;       // not shown by the emulated shell
    DWORD grfFlags;    // SHNF_*; SHNF_STRAIGHTTOTRAY adds it without a bubble
    CLSID clsid;
    HWND hwndSink;     // gets the buttons' WM_COMMAND (posted)
    LPCWSTR pszHTML;   // copied
    LPCWSTR pszTitle;  // copied
    LPARAM lParam;
};
using PSHNOTIFICATIONDATA = SHNOTIFICATIONDATA*;

// Any thread. Adds the notification and shows its bubble through the host. ERROR_SUCCESS;
// ERROR_INVALID_PARAMETER for a null record or a wrong cbStruct; ERROR_ALREADY_EXISTS when a notification
// with the same clsid and id is there.
QF_EXTERN_C LRESULT WINAPI SHNotificationAdd(SHNOTIFICATIONDATA* data);
// Any thread. Removes the notification and its bubble. ERROR_SUCCESS, or ERROR_NOT_FOUND.
QF_EXTERN_C LRESULT WINAPI SHNotificationRemove(const CLSID* clsid, DWORD id);
