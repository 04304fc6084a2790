// The GDI functions the window manager calls. GDI declares and defines them (win/gdi.h); they are
// repeated here so that the window manager builds on its own.
#pragma once

#include "win/window.h"

// Fills the rectangle with the brush: the class brush erasing a window's background.
QF_EXTERN_C int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// A memory DC that answers GetDeviceCaps for the screen: what GetDC(NULL) hands out.
QF_EXTERN_C HDC WINAPI CreateCompatibleDC(HDC dc);
QF_EXTERN_C BOOL WINAPI DeleteDC(HDC dc);
