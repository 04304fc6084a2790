// The plain geometry records shared by the window manager and GDI, in their Win32 layout.
#pragma once

#include "win/types.h"

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using PRECT = RECT*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct POINT {
    LONG x;
    LONG y;
};
using PPOINT = POINT*;
using LPPOINT = POINT*;

struct SIZE {
    LONG cx;
    LONG cy;
};
using PSIZE = SIZE*;
using LPSIZE = SIZE*;
