// Filled rectangles, outlines, lines and single pixels.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "gdi/gdi_state.h"
#include "gdi/line_raster.h"
#include "windows.h"

using qf::device::gdi::Bitmap;
using qf::device::gdi::Brush;
using qf::device::gdi::Dc;
using qf::device::gdi::DrawLine;
using qf::device::gdi::LockedGdi;
using qf::device::gdi::Pen;
using qf::device::gdi::PixelFromColor;
using qf::device::gdi::Rect;

namespace {

// FillRect's brush: a brush handle or, as in Win32, a system colour index + 1. nullopt for a bad brush;
// a null brush fills with nothing.
std::optional<std::optional<COLORREF>> BrushColor(qf::device::gdi::GdiState& gdi, HBRUSH brush) {
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= qf::device::gdi::GdiState::kSysColorCount) {
        return std::optional<COLORREF>(qf::device::gdi::SysColorOf(static_cast<int>(value) - 1));
    }
    Brush* found = gdi.Find<Brush>(brush);
    if (found == nullptr) return std::nullopt;
    return found->paints() ? std::optional<COLORREF>(found->color) : std::nullopt;
}

// Lines with the DC's pen, which may be the null pen.
void DrawPenLine(Dc& dc, const Pen& pen, int x0, int y0, int x1, int y1) {
    if (pen.paints()) DrawLine(*dc.bitmap, x0, y0, x1, y1, pen.width, PixelFromColor(pen.color));
}

}  // namespace

QF_EXTERN_C int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr || rect == nullptr) return 0;
    auto color = BrushColor(*gdi, brush);
    if (!color) return 0;
    if (*color) found->bitmap->Fill(Rect::FromWin(*rect), PixelFromColor(**color));
    return 1;
}

QF_EXTERN_C BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr) return FALSE;
    Rect area = Rect::FromWin(
        {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
    const Pen& pen = *gdi->Find<Pen>(found->pen);
    const Brush& brush = *gdi->Find<Brush>(found->brush);
    // Without a pen GDI leaves the last column and row unpainted as well.
    int border = pen.paints() ? std::min({pen.width, area.Width() / 2, area.Height() / 2}) : 0;
    Rect inside = pen.paints()
                      ? Rect{area.left + border, area.top + border, area.right - border, area.bottom - border}
                      : Rect{area.left, area.top, area.right - 1, area.bottom - 1};
    if (brush.paints()) found->bitmap->Fill(inside, PixelFromColor(brush.color));
    if (pen.paints()) {
        std::uint32_t pixel = PixelFromColor(pen.color);
        Bitmap& bitmap = *found->bitmap;
        bitmap.Fill({area.left, area.top, area.right, area.top + border}, pixel);
        bitmap.Fill({area.left, area.bottom - border, area.right, area.bottom}, pixel);
        bitmap.Fill({area.left, area.top + border, area.left + border, area.bottom - border}, pixel);
        bitmap.Fill({area.right - border, area.top + border, area.right, area.bottom - border}, pixel);
    }
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr) return FALSE;
    if (previous != nullptr) *previous = found->position;
    found->position = {x, y};
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI LineTo(HDC dc, int x, int y) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr) return FALSE;
    DrawPenLine(*found, *gdi->Find<Pen>(found->pen), found->position.x, found->position.y, x, y);
    found->position = {x, y};
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI Polyline(HDC dc, const POINT* points, int count) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr || points == nullptr || count < 2) return FALSE;
    const Pen& pen = *gdi->Find<Pen>(found->pen);
    for (int i = 1; i < count; ++i)
        DrawPenLine(*found, pen, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    return TRUE;
}

QF_EXTERN_C COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr || x < 0 || y < 0 || x >= found->bitmap->width() || y >= found->bitmap->height()) {
        return CLR_INVALID;
    }
    found->bitmap->Row(y)[x] = PixelFromColor(color);
    return color & 0xFFFFFF;
}

QF_EXTERN_C COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr || x < 0 || y < 0 || x >= found->bitmap->width() || y >= found->bitmap->height()) {
        return CLR_INVALID;
    }
    return qf::device::gdi::ColorFromPixel(found->bitmap->Row(y)[x]);
}
