// Creating GDI objects and describing them: stock objects, brushes, pens, bitmaps, fonts.
#include <algorithm>
#include <cstring>

#include "gdi/gdi_state.h"
#include "windows.h"

using qf::device::gdi::Bitmap;
using qf::device::gdi::BitmapKind;
using qf::device::gdi::Brush;
using qf::device::gdi::Dc;
using qf::device::gdi::Font;
using qf::device::gdi::GdiObject;
using qf::device::gdi::LockedGdi;
using qf::device::gdi::ObjectKind;
using qf::device::gdi::Pen;
using qf::device::gdi::RowOrder;

namespace {

// Wider pens are drawn this wide: nothing on a small screen needs more, and line clipping stays in range.
constexpr int kMaxPenWidth = 255;

}  // namespace

QF_EXTERN_C HGDIOBJ WINAPI GetStockObject(int object) {
    LockedGdi gdi;
    return gdi->Stock(object);
}

QF_EXTERN_C DWORD WINAPI GetSysColor(int index) { return qf::device::gdi::SysColorOf(index).value_or(0); }

QF_EXTERN_C HBRUSH WINAPI GetSysColorBrush(int index) {
    LockedGdi gdi;
    return static_cast<HBRUSH>(gdi->SysColorBrush(index));
}

QF_EXTERN_C HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    LockedGdi gdi;
    return static_cast<HBRUSH>(gdi->Insert(std::make_shared<Brush>(BS_SOLID, color & 0xFFFFFF)));
}

QF_EXTERN_C HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_DASH && style != PS_DOT && style != PS_NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LockedGdi gdi;
    auto pen =
        std::make_shared<Pen>(static_cast<UINT>(style), std::clamp(width, 1, kMaxPenWidth), color & 0xFFFFFF);
    return static_cast<HPEN>(gdi->Insert(std::move(pen)));
}

QF_EXTERN_C HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (width == 0 || height == 0) width = height = 1;
    if (!Bitmap::IsValidSize(width, height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LockedGdi gdi;
    if (gdi->Find<Dc>(dc) == nullptr) return nullptr;
    auto bitmap = std::make_shared<Bitmap>(width, height, RowOrder::kTopDown, BitmapKind::kCompatible);
    return static_cast<HBITMAP>(gdi->Insert(std::move(bitmap)));
}

namespace {

bool IsSupportedDib(const BITMAPINFO& info) {
    const BITMAPINFOHEADER& header = info.bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biBitCount != 32 || header.biPlanes != 1)
        return false;
    if (header.biCompression == BI_RGB) return true;
    if (header.biCompression != BI_BITFIELDS) return false;
    // The three masks follow the header where the colour table would be.
    DWORD masks[3];
    std::memcpy(masks, info.bmiColors, sizeof(masks));
    return masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
}

}  // namespace

QF_EXTERN_C HBITMAP WINAPI CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                            HANDLE section, DWORD) {
    if (bits != nullptr) *bits = nullptr;
    if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr || !IsSupportedDib(*info)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LONG width = info->bmiHeader.biWidth;
    LONG height = info->bmiHeader.biHeight;
    RowOrder order = height < 0 ? RowOrder::kTopDown : RowOrder::kBottomUp;
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0 || !Bitmap::IsValidSize(width, height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LockedGdi gdi;
    if (dc != nullptr && gdi->Find<Dc>(dc) == nullptr) return nullptr;
    auto bitmap = std::make_shared<Bitmap>(width, height, order, BitmapKind::kDibSection);
    if (bits != nullptr) *bits = bitmap->bits();
    return static_cast<HBITMAP>(gdi->Insert(std::move(bitmap)));
}

QF_EXTERN_C HFONT WINAPI CreateFontIndirectW(const LOGFONTW* logfont) {
    if (logfont == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LockedGdi gdi;
    return static_cast<HFONT>(gdi->Insert(std::make_shared<Font>(*logfont)));
}

namespace {

// Copies `value` into the caller's buffer as GetObjectW does: the size needed for a null buffer, 0 when
// the buffer is too small.
template <class T>
int CopyOut(const T& value, int size, void* buffer) {
    if (buffer == nullptr) return sizeof(T);
    if (size < static_cast<int>(sizeof(T))) return 0;
    std::memcpy(buffer, &value, sizeof(T));
    return sizeof(T);
}

BITMAP DescribeBitmap(Bitmap& bitmap) {
    BITMAP info{};
    info.bmWidth = bitmap.width();
    info.bmHeight = bitmap.height();
    info.bmWidthBytes = bitmap.width() * 4;
    info.bmPlanes = 1;
    info.bmBitsPixel = 32;
    info.bmBits = bitmap.bitmap_kind() == BitmapKind::kDibSection ? bitmap.bits() : nullptr;
    return info;
}

int DescribeBitmapInto(Bitmap& bitmap, int size, void* buffer) {
    if (bitmap.bitmap_kind() != BitmapKind::kDibSection || size < static_cast<int>(sizeof(DIBSECTION))) {
        return CopyOut(DescribeBitmap(bitmap), size, buffer);
    }
    DIBSECTION section{};
    section.dsBm = DescribeBitmap(bitmap);
    section.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
    section.dsBmih.biWidth = bitmap.width();
    section.dsBmih.biHeight = bitmap.order() == RowOrder::kTopDown ? -bitmap.height() : bitmap.height();
    section.dsBmih.biPlanes = 1;
    section.dsBmih.biBitCount = 32;
    section.dsBmih.biCompression = BI_RGB;
    section.dsBmih.biSizeImage = static_cast<DWORD>(bitmap.width() * bitmap.height() * 4);
    return CopyOut(section, size, buffer);
}

}  // namespace

QF_EXTERN_C int WINAPI GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    LockedGdi gdi;
    GdiObject* found = gdi->FindAny(object);
    if (found == nullptr) return 0;
    switch (found->kind()) {
        case ObjectKind::kBitmap:
            return DescribeBitmapInto(*static_cast<Bitmap*>(found), size, buffer);
        case ObjectKind::kBrush: {
            auto* brush = static_cast<Brush*>(found);
            return CopyOut(LOGBRUSH{brush->style, brush->color, 0}, size, buffer);
        }
        case ObjectKind::kPen: {
            auto* pen = static_cast<Pen*>(found);
            return CopyOut(LOGPEN{pen->style, POINT{pen->width, 0}, pen->color}, size, buffer);
        }
        case ObjectKind::kFont: {
            auto* font = static_cast<Font*>(found);
            return CopyOut(font->LogFont(font->needs_dpi() ? qf::device::gdi::ScreenDpi() : 96), size,
                           buffer);
        }
        case ObjectKind::kDc:
        case ObjectKind::kIcon:
            break;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}
