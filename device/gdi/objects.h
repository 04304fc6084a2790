// The drawing tools and the device context that holds them.
#pragma once

#include <memory>

#include "gdi/bitmap.h"
#include "gdi/gdi_object.h"
#include "win/gdi.h"

namespace qf::device::gdi {

class Brush : public GdiObject {
  public:
    static constexpr ObjectKind kKind = ObjectKind::kBrush;
    Brush(UINT style, COLORREF color, Lifetime lifetime = Lifetime::kOwned)
        : GdiObject(kKind, lifetime), style(style), color(color) {}
    bool paints() const { return style != BS_NULL; }

    const UINT style;
    const COLORREF color;
};

class Pen : public GdiObject {
  public:
    static constexpr ObjectKind kKind = ObjectKind::kPen;
    Pen(UINT style, int width, COLORREF color, Lifetime lifetime = Lifetime::kOwned)
        : GdiObject(kKind, lifetime), style(style), width(width), color(color) {}
    bool paints() const { return style != PS_NULL; }

    const UINT style;
    const int width;
    const COLORREF color;
};

// Whether a font's height follows the screen's dpi (the stock fonts) or is fixed by its LOGFONT.
enum class FontScaling { kFixed, kScreenDpi };

class Font : public GdiObject {
  public:
    static constexpr ObjectKind kKind = ObjectKind::kFont;
    Font(const LOGFONTW& logfont, FontScaling scaling = FontScaling::kFixed,
         Lifetime lifetime = Lifetime::kOwned)
        : GdiObject(kKind, lifetime), logfont_(logfont), scaling_(scaling) {}
    // Whether LogFont depends on the screen's dpi.
    bool needs_dpi() const { return scaling_ == FontScaling::kScreenDpi; }
    // The LOGFONT as GetObjectW answers it; a stock font's height is scaled from 96 dpi to `dpi`.
    LOGFONTW LogFont(int dpi) const {
        LOGFONTW scaled = logfont_;
        if (needs_dpi()) scaled.lfHeight = logfont_.lfHeight * dpi / 96;
        return scaled;
    }

  private:
    LOGFONTW logfont_;
    FontScaling scaling_;
};

enum class DcKind { kMemory, kWindow };

class Dc : public GdiObject {
  public:
    static constexpr ObjectKind kKind = ObjectKind::kDc;
    Dc(DcKind dc_kind, std::shared_ptr<Bitmap> bitmap, HGDIOBJ bitmap_handle)
        : GdiObject(kKind, Lifetime::kOwned),
          dc_kind(dc_kind),
          bitmap(std::move(bitmap)),
          bitmap_handle(bitmap_handle) {}

    const DcKind dc_kind;
    std::shared_ptr<Bitmap> bitmap;  // never null
    HGDIOBJ bitmap_handle;           // null for a window DC, whose surface has no handle
    HGDIOBJ font = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ pen = nullptr;
    COLORREF text_color = 0x000000;
    COLORREF bk_color = 0xFFFFFF;
    int bk_mode = OPAQUE;
    POINT position{0, 0};
};

}  // namespace qf::device::gdi
