// A module's resources: the pictures a library carries besides its code. On this device they are files
// in a folder beside the module's file, named after the module with the extension ".resources":
// "Bitmap\<name>.bmp" (any picture format the device decodes) and "Icon\<name>.ico" (icon files whose
// images are PNG streams with alpha). <name> is the decimal number of a MAKEINTRESOURCE id, or the
// resource's name. So the bitmap 171 of \Program Files\Quillfeed\QuillfeedToday.dll is
// \Program Files\Quillfeed\QuillfeedToday.resources\Bitmap\171.bmp.
#pragma once

#include "win/base.h"
#include "win/gdi.h"
#include "win/window.h"

#ifndef MAKEINTRESOURCEW
#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEW
#endif

#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define LR_DEFAULTCOLOR 0x0000u
#define LR_DEFAULTSIZE 0x0040u
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

// Any thread. A bitmap (IMAGE_BITMAP: a new 32-bit DIB section, stretched to cx x cy when both are
// non-zero) or an icon (IMAGE_ICON: the icon file's image nearest in size to cx x cy, scaled to it; with
// cx and cy 0 the standard 32 x 32) from the resources of `instance` (a module handle; null: the main
// program). The caller owns it (DeleteObject, DestroyIcon). Null with ERROR_RESOURCE_TYPE_NOT_FOUND or
// ERROR_RESOURCE_NAME_NOT_FOUND when the module has no such resource, ERROR_BAD_FORMAT when the file is
// damaged, ERROR_INVALID_PARAMETER for another type.
QF_EXTERN_C HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags);
// Any thread. LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0).
QF_EXTERN_C HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// Any thread. LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE).
QF_EXTERN_C HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name);
// Any thread. Frees an icon; FALSE for anything else.
QF_EXTERN_C BOOL WINAPI DestroyIcon(HICON icon);

#define DI_MASK 0x0001u
#define DI_IMAGE 0x0002u
#define DI_NORMAL 0x0003u

// Any thread. Draws the icon with its top-left corner at (x, y), scaled to cx x cy (0: its own size).
// DI_NORMAL blends it over the DC's pixels by its transparency; DI_IMAGE alone draws its colours opaque.
// `step` and `background` are ignored. FALSE for a bad DC or icon, or other flags.
QF_EXTERN_C BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                                   HBRUSH background, UINT flags);
