// Device contexts: creation, selection, deletion, and the state a DC carries.
#include "gdi/gdi_state.h"
#include "qfdevice/device.h"
#include "windows.h"

using qf::device::gdi::Dc;
using qf::device::gdi::DcKind;
using qf::device::gdi::GdiObject;
using qf::device::gdi::LockedGdi;
using qf::device::gdi::ObjectKind;

namespace {

constexpr int kBitsPerPixel = 32;

int Millimetres(int pixels, int dpi) { return static_cast<int>(pixels * 254L / (dpi * 10L)); }

}  // namespace

QF_EXTERN_C HDC WINAPI CreateCompatibleDC(HDC dc) {
    LockedGdi gdi;
    if (dc != nullptr && gdi->Find<Dc>(dc) == nullptr) return nullptr;
    HGDIOBJ bitmap = gdi->default_bitmap();
    return gdi->CreateDc(DcKind::kMemory, gdi->ShareBitmap(bitmap), bitmap);
}

QF_EXTERN_C BOOL WINAPI DeleteDC(HDC dc) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr || found->dc_kind != DcKind::kMemory) return FALSE;
    gdi->DestroyDc(dc);
    return TRUE;
}

QF_EXTERN_C int WINAPI GetDeviceCaps(HDC dc, int index) {
    {
        LockedGdi gdi;
        if (gdi->Find<Dc>(dc) == nullptr) return 0;
    }
    qf::device::Profile profile = qf::device::CurrentProfile();
    int dpi = profile.dpi > 0 ? profile.dpi : 96;
    switch (index) {
        case HORZRES:
            return profile.screen_width;
        case VERTRES:
            return profile.screen_height;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return profile.dpi;
        case BITSPIXEL:
            return kBitsPerPixel;
        case PLANES:
            return 1;
        case NUMCOLORS:
            return -1;  // more than 256 colours, as Win32 says it
        case HORZSIZE:
            return Millimetres(profile.screen_width, dpi);
        case VERTSIZE:
            return Millimetres(profile.screen_height, dpi);
        default:
            return 0;
    }
}

QF_EXTERN_C HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr) return nullptr;
    return gdi->Select(dc, *found, object);
}

QF_EXTERN_C BOOL WINAPI DeleteObject(HGDIOBJ object) {
    LockedGdi gdi;
    GdiObject* found = gdi->FindAny(object);
    // DCs go through DeleteDC, icons through DestroyIcon.
    if (found == nullptr || found->kind() == ObjectKind::kDc || found->kind() == ObjectKind::kIcon)
        return FALSE;
    if (found->is_stock()) return TRUE;
    if (found->selections() > 0) return FALSE;
    gdi->Erase(object);
    return TRUE;
}

QF_EXTERN_C DWORD WINAPI GetObjectType(HGDIOBJ object) {
    LockedGdi gdi;
    GdiObject* found = gdi->FindAny(object);
    if (found == nullptr) return 0;
    switch (found->kind()) {
        case ObjectKind::kBitmap:
            return OBJ_BITMAP;
        case ObjectKind::kBrush:
            return OBJ_BRUSH;
        case ObjectKind::kPen:
            return OBJ_PEN;
        case ObjectKind::kFont:
            return OBJ_FONT;
        case ObjectKind::kDc:
            return static_cast<Dc*>(found)->dc_kind == DcKind::kMemory ? OBJ_MEMDC : OBJ_DC;
        case ObjectKind::kIcon:
            break;
    }
    return 0;
}

QF_EXTERN_C HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr) return nullptr;
    switch (type) {
        case OBJ_BITMAP:
            return found->bitmap_handle;
        case OBJ_BRUSH:
            return found->brush;
        case OBJ_PEN:
            return found->pen;
        case OBJ_FONT:
            return found->font;
        default:
            return nullptr;
    }
}

namespace {

// Runs `change` on the DC's state under the lock; `failed` when the handle is bad.
template <class Result, class Change>
Result ChangeDc(HDC dc, Result failed, Change change) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    return found == nullptr ? failed : change(*found);
}

template <class Value>
Value Exchange(Value& slot, Value value) {
    Value previous = slot;
    slot = value;
    return previous;
}

}  // namespace

QF_EXTERN_C COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
    return ChangeDc(dc, CLR_INVALID, [&](Dc& d) { return Exchange(d.text_color, color); });
}

QF_EXTERN_C COLORREF WINAPI GetTextColor(HDC dc) {
    return ChangeDc(dc, CLR_INVALID, [](Dc& d) { return d.text_color; });
}

QF_EXTERN_C COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
    return ChangeDc(dc, CLR_INVALID, [&](Dc& d) { return Exchange(d.bk_color, color); });
}

QF_EXTERN_C COLORREF WINAPI GetBkColor(HDC dc) {
    return ChangeDc(dc, CLR_INVALID, [](Dc& d) { return d.bk_color; });
}

QF_EXTERN_C int WINAPI SetBkMode(HDC dc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return ChangeDc(dc, 0, [&](Dc& d) { return Exchange(d.bk_mode, mode); });
}

QF_EXTERN_C int WINAPI GetBkMode(HDC dc) {
    return ChangeDc(dc, 0, [](Dc& d) { return d.bk_mode; });
}
