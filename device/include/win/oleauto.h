// OLE Automation's date text parser.
#pragma once

#include "win/base.h"
#include "win/hresult.h"

#define DISP_E_TYPEMISMATCH static_cast<HRESULT>(0x80020005L)
#define DISP_E_OVERFLOW static_cast<HRESULT>(0x8002000AL)
#define LOCALE_USER_DEFAULT 0x0400
#define VAR_DATEVALUEONLY 0x00000002u
#define VAR_TIMEVALUEONLY 0x00000001u

// Any thread. Reads a date and/or time written as the device's locale (English, month/day/year) writes
// them: "1/2/2006", "1/2/2006 10:00:05 PM", "2006-01-02 10:00", "January 2, 2006", "2 Jan 2006 10:00",
// "Mon, 02 Jan 2006 10:00:00", "10:00 AM". Day names are skipped; a two-digit year means 1930-2029; a
// text with only a time is that time on 1899-12-30, one with only a date is its midnight. Anything else
// in the text (a zone such as "GMT" or "+0100", a "T" between date and time, unknown words) gives
// DISP_E_TYPEMISMATCH; a date that does not exist gives DISP_E_TYPEMISMATCH too. S_OK with the date in
// *result otherwise. `locale` and `flags` are accepted and ignored.
QF_EXTERN_C HRESULT WINAPI VarDateFromStr(LPCWSTR text, LCID locale, ULONG flags, DATE* result);
