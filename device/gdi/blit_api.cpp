// BitBlt, StretchBlt and TransparentImage over the shared blit.
#include "gdi/blit.h"
#include "gdi/gdi_state.h"
#include "windows.h"

using qf::device::gdi::Bitmap;
using qf::device::gdi::BlitAreas;
using qf::device::gdi::Brush;
using qf::device::gdi::Dc;
using qf::device::gdi::GdiObject;
using qf::device::gdi::LockedGdi;
using qf::device::gdi::ObjectKind;
using qf::device::gdi::PixelFromColor;
using qf::device::gdi::Rect;

namespace {

// The raster operations that need no source: a fill of the destination area.
std::optional<std::uint32_t> FillPixelOf(qf::device::gdi::GdiState& gdi, const Dc& dst, DWORD rop) {
    switch (rop) {
        case BLACKNESS:
            return 0x000000;
        case WHITENESS:
            return 0xFFFFFF;
        case PATCOPY: {
            const Brush* brush = gdi.Find<Brush>(dst.brush);
            if (brush == nullptr || !brush->paints()) return std::nullopt;
            return PixelFromColor(brush->color);
        }
        default:
            return std::nullopt;
    }
}

BOOL Copy(HDC dst, HDC src, const BlitAreas& areas, DWORD rop) {
    LockedGdi gdi;
    Dc* to = gdi->Find<Dc>(dst);
    if (to == nullptr) return FALSE;
    if (rop == PATCOPY || rop == BLACKNESS || rop == WHITENESS) {
        using qf::device::gdi::ClampCoordinate;
        int x1 = ClampCoordinate(areas.x);
        int y1 = ClampCoordinate(areas.y);
        int x2 = ClampCoordinate(static_cast<long long>(areas.x) + areas.width);
        int y2 = ClampCoordinate(static_cast<long long>(areas.y) + areas.height);
        Rect area{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
        if (auto pixel = FillPixelOf(*gdi, *to, rop)) to->bitmap->Fill(area, *pixel);
        return TRUE;
    }
    if (rop != SRCCOPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Dc* from = gdi->Find<Dc>(src);
    if (from == nullptr) return FALSE;
    Blit(*to->bitmap, *from->bitmap, areas, std::nullopt);
    return TRUE;
}

}  // namespace

QF_EXTERN_C BOOL WINAPI BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int x_src, int y_src,
                               DWORD rop) {
    return Copy(dst, src, {x, y, width, height, x_src, y_src, width, height}, rop);
}

QF_EXTERN_C BOOL WINAPI StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int x_src,
                                   int y_src, int width_src, int height_src, DWORD rop) {
    return Copy(dst, src, {x, y, width, height, x_src, y_src, width_src, height_src}, rop);
}

QF_EXTERN_C BOOL WINAPI TransparentImage(HDC dst, LONG x, LONG y, LONG width, LONG height, HANDLE src,
                                         LONG x_src, LONG y_src, LONG width_src, LONG height_src,
                                         COLORREF transparent) {
    LockedGdi gdi;
    Dc* to = gdi->Find<Dc>(dst);
    GdiObject* from = gdi->FindAny(src);
    if (to == nullptr || from == nullptr) return FALSE;
    const Bitmap* source = nullptr;
    if (from->kind() == ObjectKind::kDc) source = static_cast<Dc*>(from)->bitmap.get();
    if (from->kind() == ObjectKind::kBitmap) source = static_cast<Bitmap*>(from);
    if (source == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Blit(*to->bitmap, *source, {x, y, width, height, x_src, y_src, width_src, height_src},
         PixelFromColor(transparent & 0xFFFFFF));
    return TRUE;
}
