#include "display/control_strip_paint.h"

#include <todaycmn.h>

#include <algorithm>

#include "display/font_size.h"
#include "display/gdi_handles.h"
#include "display/offscreen_paint.h"
#include "display/paint_canvas.h"

namespace qf::display {
namespace {

constexpr int kFieldLeft = 40;
constexpr int kFieldRightMargin = 10;
constexpr int kFieldRightMost = 120;
constexpr int kSkinPieceWidth = 8;
constexpr int kOwnPieceWidth = 5;
constexpr int kPieceHeight = 20;
constexpr int kMenuButtonWidth = 38;
constexpr COLORREF kTransparentRed = RGB(255, 0, 0);

struct StripCanvas {
    HDC dc = nullptr;
    int width = 0;
    int height = 0;
    const StripPaintInputs& inputs;
    int Px(int unscaled) const { return unscaled * inputs.scale.scale_factor; }
};

void PaintWatermark(const StripCanvas& canvas, HWND window) {
    RECT client{0, 0, canvas.width, canvas.height};
    TODAYDRAWWATERMARKINFO watermark{canvas.dc, client, window};
    SendMessageW(GetParent(GetParent(window)), TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&watermark));
    SetBkMode(canvas.dc, TRANSPARENT);
}

// Through the tab host's function: the skin's piece weighed by its mask. A piece that did not load is
// not drawn.
void BlendPiece(const StripCanvas& canvas, SkinPiece piece, SkinPiece mask, int x, int width) {
    const Skin& skin = *canvas.inputs.skin;
    canvas.inputs.alpha_blend->Draw(canvas.dc, x, 0, width, kPieceHeight, skin.Get(piece), skin.Get(mask),
                                    canvas.inputs.scale);
}

void DrawBlendedPieces(const StripCanvas& canvas, const StripField& field) {
    BlendPiece(canvas, SkinPiece::kMenuButton, SkinPiece::kMenuButtonMask, 0, kMenuButtonWidth);
    StripPieces pieces = LayOutStripPieces(field, canvas.Px(kSkinPieceWidth));
    BlendPiece(canvas, SkinPiece::kBlankLeft, SkinPiece::kBlankLeftMask, pieces.left_x, kSkinPieceWidth);
    for (int x : pieces.middle_xs)
        BlendPiece(canvas, SkinPiece::kBlankMiddle, SkinPiece::kBlankMiddleMask, x, kSkinPieceWidth);
    BlendPiece(canvas, SkinPiece::kBlankRight, SkinPiece::kBlankRightMask, pieces.right_x, kSkinPieceWidth);
}

// The plug-in's own pieces are low-resolution pictures: always stretched by the scale factor.
void DrawOwnPiece(const StripCanvas& canvas, HBITMAP bitmap, int x) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return;
    TransparentImage(canvas.dc, x, 0, canvas.Px(info.bmWidth), canvas.Px(info.bmHeight), bitmap, 0, 0,
                     info.bmWidth, info.bmHeight, kTransparentRed);
}

void DrawOwnPieces(const StripCanvas& canvas, const StripField& field) {
    const ControlStripBitmaps& own = *canvas.inputs.own_bitmaps;
    DrawOwnPiece(canvas, own.menu_button.get(), 0);
    StripPieces pieces = LayOutStripPieces(field, canvas.Px(kOwnPieceWidth));
    DrawOwnPiece(canvas, own.field_left.get(), pieces.left_x);
    for (int x : pieces.middle_xs) DrawOwnPiece(canvas, own.field_middle.get(), x);
    DrawOwnPiece(canvas, own.field_right.get(), pieces.right_x);
}

// One point below the item's normal size, doubled like the item's text on a VGA screen at 96 dpi.
GdiObject<HFONT> CreateStripFont(const StripCanvas& canvas) {
    LOGFONTW font{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof(font), &font);
    font.lfWeight = FW_NORMAL;
    double points = (BaseFontPoints(GetSystemDefaultLangID()) - 1) * canvas.inputs.scale.FontMultiplier();
    font.lfHeight = FontHeightForPoints(GetDeviceCaps(canvas.dc, LOGPIXELSY), points);
    return GdiObject<HFONT>(CreateFontIndirectW(&font));
}

void DrawViewName(const StripCanvas& canvas, const StripField& field) {
    const Skin* skin = canvas.inputs.skin;
    SetTextColor(canvas.dc, skin != nullptr ? skin->text_color().value_or(RGB(0, 0, 0)) : RGB(0, 0, 0));
    GdiObject<HFONT> font = CreateStripFont(canvas);
    ScopedSelection selected(canvas.dc, font.get());
    RECT text{field.left + canvas.Px(3), canvas.Px(3 + 2), field.right - canvas.Px(3),
              canvas.Px(kPieceHeight - 3)};
    DrawEllipsizedText(canvas.dc, canvas.inputs.view_name, text, DT_SINGLELINE | DT_CENTER | DT_NOPREFIX, 0);
}

}  // namespace

StripField LayOutStripField(int client_width, int scale_factor) {
    int right = std::min(client_width - kFieldRightMargin * scale_factor, kFieldRightMost * scale_factor);
    return StripField{kFieldLeft * scale_factor, right};
}

StripPieces LayOutStripPieces(const StripField& field, int piece_px) {
    StripPieces pieces;
    pieces.left_x = field.left;
    pieces.right_x = field.right - piece_px;
    if (piece_px <= 0) return pieces;
    for (int x = field.left + piece_px; x <= field.right - 2 * piece_px; x += piece_px)
        pieces.middle_xs.push_back(x);
    return pieces;
}

bool PaintControlStrip(HWND window, const StripPaintInputs& inputs) {
    OffscreenPaint paint(window);
    if (!paint.ready()) return false;
    StripCanvas canvas{paint.dc(), paint.width(), paint.height(), inputs};

    PaintWatermark(canvas, window);
    StripField field = LayOutStripField(canvas.width, inputs.scale.scale_factor);
    bool blended = inputs.alpha_blend != nullptr && inputs.alpha_blend->loaded() && inputs.skin != nullptr;
    if (blended) {
        DrawBlendedPieces(canvas, field);
    } else if (inputs.own_bitmaps != nullptr) {
        DrawOwnPieces(canvas, field);
    }
    DrawViewName(canvas, field);
    paint.Present();
    return true;
}

}  // namespace qf::display
