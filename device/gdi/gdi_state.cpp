#include "gdi/gdi_state.h"

#include <algorithm>

#include "qfdevice/device.h"

namespace qf::device::gdi {
namespace {

// The Pocket PC's default scheme: white windows, black text, dark blue selection.
constexpr COLORREF kSysColors[GdiState::kSysColorCount] = {
    RGB(192, 192, 192),  // COLOR_SCROLLBAR
    RGB(0, 128, 128),    // COLOR_BACKGROUND
    RGB(0, 0, 128),      // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(255, 255, 255),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(192, 192, 192),  // COLOR_ACTIVEBORDER
    RGB(192, 192, 192),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(0, 0, 128),      // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(192, 192, 192),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),        // COLOR_3DDKSHADOW
    RGB(224, 224, 224),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
};

// The stock fonts: Tahoma 9 points at 96 dpi, scaled to the screen when asked for.
constexpr LONG kStockFontHeight96 = -12;
constexpr int kDefaultEmPx96 = 12;

LOGFONTW StockLogFont() {
    LOGFONTW logfont{};
    logfont.lfHeight = kStockFontHeight96;
    logfont.lfWeight = FW_NORMAL;
    logfont.lfCharSet = ANSI_CHARSET;
    logfont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::u16string_view face = u"Tahoma";
    std::copy(face.begin(), face.end(), logfont.lfFaceName);
    return logfont;
}

std::uintptr_t Key(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

int ScreenDpi() {
    int dpi = CurrentProfile().dpi;
    return dpi > 0 ? dpi : 96;
}

std::optional<COLORREF> SysColorOf(int index) {
    index &= ~SYS_COLOR_INDEX_FLAG;
    if (index < 0 || index >= GdiState::kSysColorCount) return std::nullopt;
    return kSysColors[index];
}

GdiState& GdiState::Instance() {
    static GdiState state;
    return state;
}

GdiState::GdiState() { CreateStockObjects(); }

void GdiState::CreateStockObjects() {
    auto brush = [&](int id, UINT style, COLORREF color) {
        stock_[id] = Insert(std::make_shared<Brush>(style, color, Lifetime::kStock));
    };
    brush(WHITE_BRUSH, BS_SOLID, RGB(255, 255, 255));
    brush(LTGRAY_BRUSH, BS_SOLID, RGB(192, 192, 192));
    brush(GRAY_BRUSH, BS_SOLID, RGB(128, 128, 128));
    brush(DKGRAY_BRUSH, BS_SOLID, RGB(64, 64, 64));
    brush(BLACK_BRUSH, BS_SOLID, RGB(0, 0, 0));
    brush(NULL_BRUSH, BS_NULL, 0);
    auto pen = [&](int id, UINT style, COLORREF color) {
        stock_[id] = Insert(std::make_shared<Pen>(style, 1, color, Lifetime::kStock));
    };
    pen(WHITE_PEN, PS_SOLID, RGB(255, 255, 255));
    pen(BLACK_PEN, PS_SOLID, RGB(0, 0, 0));
    pen(NULL_PEN, PS_NULL, 0);
    for (int id : {SYSTEM_FONT, DEFAULT_GUI_FONT}) {
        stock_[id] =
            Insert(std::make_shared<Font>(StockLogFont(), FontScaling::kScreenDpi, Lifetime::kStock));
    }
    for (int i = 0; i < kSysColorCount; ++i) {
        sys_color_brushes_[i] = Insert(std::make_shared<Brush>(BS_SOLID, kSysColors[i], Lifetime::kStock));
    }
    default_bitmap_ =
        Insert(std::make_shared<Bitmap>(1, 1, RowOrder::kTopDown, BitmapKind::kCompatible, Lifetime::kStock));
}

HGDIOBJ GdiState::Insert(std::shared_ptr<GdiObject> object) {
    std::uintptr_t key = next_handle_;
    next_handle_ += 4;
    objects_.emplace(key, std::move(object));
    return reinterpret_cast<HGDIOBJ>(key);
}

GdiObject* GdiState::FindAny(const void* handle) {
    auto found = objects_.find(Key(handle));
    if (found == objects_.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return found->second.get();
}

GdiObject* GdiState::FindKind(const void* handle, ObjectKind kind) {
    GdiObject* object = FindAny(handle);
    if (object != nullptr && object->kind() != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return object;
}

std::shared_ptr<Bitmap> GdiState::ShareBitmap(const void* handle) {
    auto found = objects_.find(Key(handle));
    if (found == objects_.end() || found->second->kind() != ObjectKind::kBitmap) return nullptr;
    return std::static_pointer_cast<Bitmap>(found->second);
}

void GdiState::Erase(const void* handle) { objects_.erase(Key(handle)); }

HGDIOBJ GdiState::Stock(int id) const {
    if (id < 0 || id >= kStockCount) return nullptr;
    return stock_[id];
}

HGDIOBJ GdiState::SysColorBrush(int index) const {
    index &= ~SYS_COLOR_INDEX_FLAG;
    if (index < 0 || index >= kSysColorCount) return nullptr;
    return sys_color_brushes_[index];
}

HDC GdiState::CreateDc(DcKind kind, std::shared_ptr<Bitmap> bitmap, HGDIOBJ bitmap_handle) {
    auto dc = std::make_shared<Dc>(kind, std::move(bitmap), bitmap_handle);
    Dc& ref = *dc;
    HDC handle = static_cast<HDC>(Insert(std::move(dc)));
    ref.bitmap->AddSelection();
    if (!ref.bitmap->is_stock()) ref.bitmap->set_selected_into(handle);
    for (int id : {SYSTEM_FONT, WHITE_BRUSH, BLACK_PEN}) Select(handle, ref, stock_[id]);
    return handle;
}

void GdiState::DestroyDc(HDC handle) {
    Dc* dc = Find<Dc>(handle);
    if (dc == nullptr) return;
    dc->bitmap->RemoveSelection();
    if (dc->bitmap->selected_into() == handle) dc->bitmap->set_selected_into(nullptr);
    for (HGDIOBJ tool : {dc->font, dc->brush, dc->pen}) {
        if (GdiObject* object = FindAny(tool)) object->RemoveSelection();
    }
    Erase(handle);
}

HGDIOBJ GdiState::Select(HDC dc_handle, Dc& dc, HGDIOBJ object) {
    GdiObject* incoming = FindAny(object);
    if (incoming == nullptr) return nullptr;
    HGDIOBJ* slot = nullptr;
    switch (incoming->kind()) {
        case ObjectKind::kFont:
            slot = &dc.font;
            break;
        case ObjectKind::kBrush:
            slot = &dc.brush;
            break;
        case ObjectKind::kPen:
            slot = &dc.pen;
            break;
        case ObjectKind::kDc:
        case ObjectKind::kIcon:
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        case ObjectKind::kBitmap: {
            auto* bitmap = static_cast<Bitmap*>(incoming);
            bool taken = bitmap->selected_into() != nullptr && bitmap->selected_into() != dc_handle;
            if (dc.dc_kind != DcKind::kMemory || taken) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            HGDIOBJ previous = dc.bitmap_handle;
            dc.bitmap->RemoveSelection();
            if (dc.bitmap->selected_into() == dc_handle) dc.bitmap->set_selected_into(nullptr);
            dc.bitmap = ShareBitmap(object);
            dc.bitmap_handle = object;
            dc.bitmap->AddSelection();
            if (!dc.bitmap->is_stock()) dc.bitmap->set_selected_into(dc_handle);
            return previous;
        }
    }
    HGDIOBJ previous = *slot;
    if (GdiObject* outgoing = previous ? FindAny(previous) : nullptr) outgoing->RemoveSelection();
    incoming->AddSelection();
    *slot = object;
    return previous;
}

DcFont GdiState::FontOf(const Dc& dc) {
    // A selected font cannot be deleted, so the lookup only fails if that rule is ever broken.
    auto found = objects_.find(Key(dc.font));
    if (found == objects_.end()) found = objects_.find(Key(stock_[SYSTEM_FONT]));
    auto* font = static_cast<Font*>(found->second.get());
    LOGFONTW logfont = font->LogFont(96);
    // The profile is read only when the height depends on it.
    if (font->needs_dpi() || logfont.lfHeight == 0) {
        int dpi = ScreenDpi();
        logfont = font->LogFont(dpi);
        return {fonts_.Resolve(logfont, kDefaultEmPx96 * dpi / 96), logfont};
    }
    return {fonts_.Resolve(logfont, kDefaultEmPx96), logfont};
}

}  // namespace qf::device::gdi
