// The alpha-blending library that the PocketBreeze tab host offers its plug-ins (\SBSHAlphaBlend.dll).
// Plug-ins load it with LoadLibraryW and look up fnAlphaBlend by name.
#pragma once

#include "windows.h"

// Blends `bitmap` over the area (x, y, width, height) of `dc`: its top-left bitmap_width x
// bitmap_height pixels, scaled to the area by nearest pixel, each weighted by the mask's pixel at the
// same place (grey level 255 = opaque, 0 = the DC's pixel stays). Without a mask the bitmap is copied.
// The bitmaps must not be selected into a DC. TRUE on success; FALSE for a bad DC or bitmap.
using FnAlphaBlend = BOOL (*)(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int bitmap_width,
                              int bitmap_height, HBITMAP mask);

QF_EXTERN_C BOOL fnAlphaBlend(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int bitmap_width,
                              int bitmap_height, HBITMAP mask);
