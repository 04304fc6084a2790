// GDI of the emulated device: device contexts, 32-bit bitmaps (DIB sections), brushes, pens, fonts
// (FreeType), text, blits and image files. Every call may come from any thread; GDI guards its own
// state. Handles are checked: a stale, foreign or wrong-typed handle makes a call fail (null, 0, FALSE
// or CLR_INVALID, with ERROR_INVALID_HANDLE) and never crashes. There is one mapping mode (MM_TEXT):
// logical units are pixels of the bitmap a DC draws into.
#pragma once

#include "win/base.h"
#include "win/geometry.h"

// ---- Handles -----------------------------------------------------------------------------------------

using HGDIOBJ = void*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HPEN__;
using HPEN = HPEN__*;
struct HFONT__;
using HFONT = HFONT__*;

#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_MEMDC 10

#define CLR_INVALID 0xFFFFFFFFu

// ---- Stock objects and system colours ------------------------------------------------------------------

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

// Any thread. The stock object of that number (never deleted: DeleteObject on it succeeds and does
// nothing); null for an unknown number. SYSTEM_FONT and DEFAULT_GUI_FONT are Tahoma, 9 points at the
// screen's dpi, weight 400.
QF_EXTERN_C HGDIOBJ WINAPI GetStockObject(int object);

#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_BTNSHADOW 16
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_3DSHADOW COLOR_BTNSHADOW
#define COLOR_3DHIGHLIGHT COLOR_BTNHIGHLIGHT
// Windows CE marks system colour indexes with this flag; GetSysColor accepts indexes with or without it.
#define SYS_COLOR_INDEX_FLAG 0x40000000

// Any thread. The device's colour for a COLOR_* index (the default Pocket PC scheme: white windows,
// black text, dark blue highlight with white text); 0 for an unknown index.
QF_EXTERN_C DWORD WINAPI GetSysColor(int index);
// Any thread. A stock solid brush of that system colour; null for an unknown index. FillRect also takes
// (HBRUSH)(COLOR_* + 1) as in Win32.
QF_EXTERN_C HBRUSH WINAPI GetSysColorBrush(int index);

// ---- Device contexts ---------------------------------------------------------------------------------

#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define LOGPIXELSX 88
#define LOGPIXELSY 90

// Any thread. A memory DC holding a 1 x 1 default bitmap, the stock SYSTEM_FONT, WHITE_BRUSH and
// BLACK_PEN, black text on an opaque white background. `dc` may be null or any valid DC (all DCs are
// compatible). The caller owns the result and frees it with DeleteDC.
QF_EXTERN_C HDC WINAPI CreateCompatibleDC(HDC dc);
// Any thread. Frees a memory DC from CreateCompatibleDC; the objects selected into it stay alive and
// become free to delete. FALSE for a window DC (release those through the window manager).
QF_EXTERN_C BOOL WINAPI DeleteDC(HDC dc);
// Any thread. The screen's figures from the device profile for every DC (a memory DC answers for the
// screen): HORZRES/VERTRES in pixels, LOGPIXELSX/LOGPIXELSY in dpi, BITSPIXEL 32, PLANES 1,
// HORZSIZE/VERTSIZE in millimetres. 0 for an unknown index or a bad DC.
QF_EXTERN_C int WINAPI GetDeviceCaps(HDC dc, int index);

// Any thread. Selects a bitmap (memory DCs only; a bitmap lives in one DC at a time), brush, pen or font
// into the DC and answers the object it replaces; null on failure.
QF_EXTERN_C HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
// Any thread. Frees a bitmap, brush, pen or font. FALSE for a bad handle or an object still selected
// into a DC; TRUE (and nothing happens) for a stock object.
QF_EXTERN_C BOOL WINAPI DeleteObject(HGDIOBJ object);
// Any thread. OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, OBJ_DC (window DC), OBJ_MEMDC; 0 if invalid.
QF_EXTERN_C DWORD WINAPI GetObjectType(HGDIOBJ object);
// Any thread. The object of that OBJ_* type currently selected into the DC; null when none.
QF_EXTERN_C HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type);

#define TRANSPARENT 1
#define OPAQUE 2

// Any thread. Each setter answers the previous value (CLR_INVALID or 0 for a bad DC).
QF_EXTERN_C COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);
QF_EXTERN_C COLORREF WINAPI GetTextColor(HDC dc);
QF_EXTERN_C COLORREF WINAPI SetBkColor(HDC dc, COLORREF color);
QF_EXTERN_C COLORREF WINAPI GetBkColor(HDC dc);
// `mode` is TRANSPARENT or OPAQUE; anything else fails with 0.
QF_EXTERN_C int WINAPI SetBkMode(HDC dc, int mode);
QF_EXTERN_C int WINAPI GetBkMode(HDC dc);

// ---- Bitmaps -----------------------------------------------------------------------------------------

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};
using PBITMAP = BITMAP*;
using LPBITMAP = BITMAP*;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
using PBITMAPINFOHEADER = BITMAPINFOHEADER*;

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
using PBITMAPINFO = BITMAPINFO*;
using LPBITMAPINFO = BITMAPINFO*;

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
};

#define BI_RGB 0
#define BI_BITFIELDS 3
#define DIB_RGB_COLORS 0

// Any thread. A 32-bit bitmap of width x height, white. 0 x 0 gives a 1 x 1 bitmap as in Win32;
// negative or huge sizes fail. The caller owns it (DeleteObject).
QF_EXTERN_C HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height);
// Any thread. A 32-bit DIB section (biBitCount 32, BI_RGB or BI_BITFIELDS with the masks 0xFF0000,
// 0xFF00, 0xFF): top-down for a negative biHeight, bottom-up for a positive one. *bits receives its
// pixels (B, G, R, unused per pixel; valid until DeleteObject), which drawing and direct writes share.
// `section` must be null. Other formats fail with ERROR_INVALID_PARAMETER.
QF_EXTERN_C HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                            HANDLE section, DWORD offset);

// Any thread. Copies the object's description into `buffer` (`size` bytes): LOGFONTW for a font,
// BITMAP (or DIBSECTION when `size` allows and it is a DIB section) for a bitmap, LOGBRUSH, LOGPEN.
// With a null buffer answers the size needed; 0 on failure or a buffer too small.
QF_EXTERN_C int WINAPI GetObjectW(HGDIOBJ object, int size, LPVOID buffer);

// ---- Brushes, pens and drawing -----------------------------------------------------------------------

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};

#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_NULL 5

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};

// Any thread. A solid brush; the caller owns it (DeleteObject).
QF_EXTERN_C HBRUSH WINAPI CreateSolidBrush(COLORREF color);
// Any thread. PS_SOLID, PS_DASH and PS_DOT (both drawn solid) or PS_NULL; `width` is clamped to 1 ...
// 255. Null for another style. The caller owns it.
QF_EXTERN_C HPEN WINAPI CreatePen(int style, int width, COLORREF color);

// Any thread. Fills [left, right) x [top, bottom) with the brush (or (HBRUSH)(COLOR_* + 1)); nothing
// for a null brush. Answers nonzero on success.
QF_EXTERN_C int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Any thread. Outlines [left, right) x [top, bottom) with the pen and fills the inside with the brush.
QF_EXTERN_C BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom);
// Any thread. Moves the current position; the previous one goes to *previous when it is not null.
QF_EXTERN_C BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous);
// Any thread. A line with the pen from the current position up to, not including, (x, y), which
// becomes the current position.
QF_EXTERN_C BOOL WINAPI LineTo(HDC dc, int x, int y);
// Any thread. Lines through `count` points (at least 2), as LineTo; the current position is unchanged.
QF_EXTERN_C BOOL WINAPI Polyline(HDC dc, const POINT* points, int count);
// Any thread. Sets one pixel and answers the colour set; CLR_INVALID outside the bitmap.
QF_EXTERN_C COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color);
// Any thread. The pixel's colour; CLR_INVALID outside the bitmap or for a bad DC.
QF_EXTERN_C COLORREF WINAPI GetPixel(HDC dc, int x, int y);

// ---- Blits -------------------------------------------------------------------------------------------

#define SRCCOPY 0x00CC0020u
#define PATCOPY 0x00F00021u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

// Any thread. Copies width x height pixels from (x_src, y_src) of `src` to (x, y) of `dst`, clipped to
// both bitmaps; `src` and `dst` may be the same DC, areas may overlap. SRCCOPY copies, PATCOPY fills
// with the brush, BLACKNESS/WHITENESS fill (src may then be null); any other code fails. The texts
// recorded in the source area travel with the pixels.
QF_EXTERN_C BOOL WINAPI BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int x_src, int y_src,
                               DWORD rop);
// Any thread. As BitBlt (SRCCOPY), scaling the source area to the destination area by nearest pixel; a
// negative width or height mirrors.
QF_EXTERN_C BOOL WINAPI StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int x_src,
                                   int y_src, int width_src, int height_src, DWORD rop);
// Any thread. Windows CE's transparent blit: as StretchBlt, except that source pixels of
// `transparent` colour leave the destination as it was. `src` is a DC or a bitmap.
QF_EXTERN_C BOOL WINAPI TransparentImage(HDC dst, LONG x, LONG y, LONG width, LONG height, HANDLE src,
                                         LONG x_src, LONG y_src, LONG width_src, LONG height_src,
                                         COLORREF transparent);

// ---- Fonts and text ----------------------------------------------------------------------------------

#define LF_FACESIZE 32

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};
using PLOGFONTW = LOGFONTW*;
using LPLOGFONTW = LOGFONTW*;
using LOGFONT = LOGFONTW;

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
using LPTEXTMETRICW = TEXTMETRICW*;
using TEXTMETRIC = TEXTMETRICW;

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_SWISS 0x20
#define TMPF_FIXED_PITCH 0x01  // set for variable pitch, as in Win32
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04

// Any thread. A font for the LOGFONTW. The face is looked up among the font files of the device's
// \Windows folder by family name (Tahoma when the name is empty or unknown); weight 600 and above takes
// the bold file of the family, or emboldens the regular one. Without font files on the device, DejaVu
// Sans stands in. Height as in Win32: negative = character (em) height, positive = cell height
// (ascent + descent), 0 = 12 pixels at 96 dpi scaled to the screen. Null for a null pointer. The
// caller owns it (DeleteObject).
QF_EXTERN_C HFONT WINAPI CreateFontIndirectW(const LOGFONTW* logfont);
// Any thread. The metrics of the DC's font: tmHeight = tmAscent + tmDescent is the line height.
QF_EXTERN_C BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics);
// Any thread. The width of `count` characters of `text` in the DC's font and the font's height.
QF_EXTERN_C BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);

#define DT_TOP 0x00000000u
#define DT_LEFT 0x00000000u
#define DT_CENTER 0x00000001u
#define DT_RIGHT 0x00000002u
#define DT_VCENTER 0x00000004u
#define DT_BOTTOM 0x00000008u
#define DT_WORDBREAK 0x00000010u
#define DT_SINGLELINE 0x00000020u
#define DT_NOCLIP 0x00000100u
#define DT_EXTERNALLEADING 0x00000200u
#define DT_CALCRECT 0x00000400u
#define DT_NOPREFIX 0x00000800u

// Any thread. Formats `count` characters of `text` (-1: up to the terminating zero) in `rect`:
// - lines end at CR, LF, CR LF or LF CR (a break at the very end adds no line); DT_SINGLELINE keeps all
//   on one line, CR and LF then draw nothing;
// - DT_WORDBREAK also breaks where a line would pass the right edge: at the last run of spaces, which is
//   dropped (spaces never wrap by themselves); a word longer than a whole line is cut after the last
//   character that fits (at least one per line);
// - each line is placed left, DT_CENTER or DT_RIGHT in the rectangle; DT_VCENTER and DT_BOTTOM place a
//   DT_SINGLELINE line vertically;
// - without DT_NOPREFIX "&&" shows "&" and a lone "&" is dropped;
// - lines are tmHeight apart (+ tmExternalLeading with DT_EXTERNALLEADING) and clipped to `rect` unless
//   DT_NOCLIP.
// DT_CALCRECT draws nothing and sets rect->right to left + the widest line and rect->bottom to the
// bottom of the last line as placed (so a DT_VCENTER line in a short rectangle gives less than one line;
// empty text: right = left, bottom = top, or top + one line with DT_SINGLELINE). Answers the distance
// from rect->top to the bottom of the text (the line height for empty text); 0 on failure. Drawing
// records the text on the DC's bitmap.
QF_EXTERN_C int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);

#define ETO_OPAQUE 0x0002u
#define ETO_CLIPPED 0x0004u

// Any thread. Draws `count` characters on one line with its top-left corner at (x, y) (control
// characters draw nothing). ETO_OPAQUE first fills `rect` with the background colour, ETO_CLIPPED clips
// to `rect`; `dx`, when given, holds the advance of each character. Records the text on the DC's bitmap.
QF_EXTERN_C BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text,
                                    UINT count, const int* dx);
// Any thread. ExtTextOutW without options.
QF_EXTERN_C BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);

// ---- Image files -------------------------------------------------------------------------------------

// Any thread. Decodes the image file at `device_path` (BMP, PNG, JPEG or GIF, whatever its name says)
// into a new top-down 32-bit DIB section; alpha is dropped. Null (ERROR_FILE_NOT_FOUND or
// ERROR_BAD_FORMAT) when the file is missing or not an image. The caller owns it (DeleteObject).
QF_EXTERN_C HBITMAP WINAPI SHLoadDIBitmap(LPCWSTR device_path);
