// The seam between the window manager and GDI. Every window has a surface: a 32-bit pixel buffer of its
// client size that GDI owns and the window manager sizes; GetDC/BeginPaint draw into it, and the hosts
// compose the screen from the surfaces of the visible windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "win/types.h"

namespace qf::device {

// Window manager -> GDI. Any thread (GDI guards its own state).
// Gives `window` a surface of width x height; content is kept where old and new overlap, new area
// is white. Sizes below 1 give an empty surface.
void SetWindowSurfaceSize(HWND window, int width, int height);
// Frees the window's surface and its text records.
void DestroyWindowSurface(HWND window);
// A DC that draws into the window's surface in client coordinates; null when the window has none.
// Released with ReleaseWindowSurfaceDC (GetDC/ReleaseDC and BeginPaint/EndPaint map onto these).
HDC AcquireWindowSurfaceDC(HWND window);
void ReleaseWindowSurfaceDC(HDC dc);
// Starts a new frame of `window` (BeginPaint calls it): the texts recorded for its last frame are
// forgotten, so the records always describe what the latest paint drew.
void BeginWindowFrame(HWND window);

// GDI -> hosts. One text that reached a window's surface in its latest frame, directly or through a
// BitBlt/StretchBlt from a memory DC it was drawn into.
struct DrawnText {
    std::u16string text;
    int left = 0, top = 0, right = 0, bottom = 0;  // client coordinates of the window
    int font_height = 0;                           // LOGFONT height of the font used
    int font_weight = 0;                           // 400 normal, 700 bold
    std::uint32_t color = 0;                       // COLORREF
};
// Any thread. Texts of the window's latest frame, in drawing order.
std::vector<DrawnText> WindowTexts(HWND window);
// Any thread. The window's surface as 0x00RRGGBB pixels, row-major; empty when it has none.
struct SurfacePixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};
SurfacePixels ReadWindowSurface(HWND window);

}  // namespace qf::device
