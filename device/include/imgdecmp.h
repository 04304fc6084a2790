// The platform's image decompression library (imgdecmp): any picture file the device knows (BMP, PNG,
// JPEG, GIF) decoded into a bitmap, with the file's bytes pulled through the caller's read callback.
#pragma once

#include "windows.h"

#ifndef S_OK
#define S_OK (static_cast<HRESULT>(0L))
#define E_FAIL (static_cast<HRESULT>(0x80004005L))
#define E_INVALIDARG (static_cast<HRESULT>(0x80070057L))
#define E_OUTOFMEMORY (static_cast<HRESULT>(0x8007000EL))
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#endif

// Progressive rendering is not offered: DecompressImageIndirect always sets *ppImageRender to null.
class IImageRender;

// Copies up to `buffer_max` bytes of the picture into `buffer` and answers how many; 0 at the end.
using GETDATAFUNC = DWORD(CALLBACK*)(LPSTR buffer, DWORD buffer_max, LPARAM param);
// Would report progress; never called here.
using PROGRESSFUNC = void(CALLBACK*)(IImageRender* render, BOOL complete, LPARAM param);

struct DecompressImageInfo {
    DWORD dwSize;                  // sizeof(DecompressImageInfo)
    LPBYTE pbBuffer;               // the caller's read buffer, handed to pfnGetData
    DWORD dwBufferMax;             // its size in bytes (at least 1)
    DWORD dwBufferCurrent;         // unused
    HBITMAP* phBM;                 // receives the bitmap; the caller owns it (DeleteObject)
    IImageRender** ppImageRender;  // may be null; set to null
    int iBitDepth;                 // bits per pixel asked for; the device's bitmaps are always 32-bit
    LPARAM lParam;                 // passed to pfnGetData
    HDC hdc;                       // a DC of the screen; may be null
    int iScale;                    // size in percent of the picture's own, 100 = as is
    int iMaxWidth;                 // the result is shrunk, keeping its shape, to fit these (0: no limit)
    int iMaxHeight;
    GETDATAFUNC pfnGetData;
    PROGRESSFUNC pfnImageProgress;   // may be null
    COLORREF crTransparentOverride;  // 0xFFFFFFFF, or the colour given to the picture's transparent pixels
};

// Any thread. Reads the whole picture through pfnGetData (at most 32 MB) and decodes it into a new
// top-down 32-bit DIB section at *phBM. S_OK; E_INVALIDARG for a bad record (wrong dwSize, no callback,
// buffer or phBM, iScale not positive); E_FAIL when the bytes are no picture it knows or too large;
// *phBM is null on failure.
QF_EXTERN_C HRESULT WINAPI DecompressImageIndirect(DecompressImageInfo* info);
