#include "display/scroll_bar.h"

#include <algorithm>

#include "display/colors.h"
#include "display/gdi_handles.h"

namespace qf::display {
namespace {

constexpr COLORREF kTrackColor = RGB(150, 150, 255);
constexpr double kStripeDarkening = 0.05;
constexpr int kStripeEveryPixels = 3;

void DrawTrack(const Canvas& canvas) {
    int width = canvas.width;
    int height = canvas.layout_height;
    RECT track{width - canvas.Px(10), canvas.Px(2), width - canvas.Px(8), height - canvas.Px(2)};
    GdiObject<HBRUSH> fill(CreateSolidBrush(kTrackColor));
    FillRect(canvas.dc, &track, fill.get());
    GdiObject<HBRUSH> stripe(CreateSolidBrush(DarkenColor(kTrackColor, kStripeDarkening)));
    for (int y = track.top + canvas.Px(2); y < track.bottom; y += kStripeEveryPixels) {
        RECT line{track.left, y, track.right, y + 1};
        FillRect(canvas.dc, &line, stripe.get());
    }
}

}  // namespace

ThumbLayout LayOutThumb(int height, int scale, int steps, int position) {
    ThumbLayout thumb;
    int unit = (height / scale - 24) / std::max(steps, 1);
    int offset = scale * unit * position;
    int lowest_piece = height - 16 * scale;
    if (unit < 9) {
        int y = std::max((height - 8 * scale * (steps + 3)) / 2, 0) + 12 * scale + offset;
        if (y + 8 * scale > height - 12 * scale) y = height - 20 * scale;
        thumb.top = thumb.scroller_top_y = y;
        thumb.scroller_bottom_y = y + 4 * scale;
        thumb.bottom = y + 8 * scale;
        return thumb;
    }
    int y = 12 * scale + offset;
    if (y + scale * unit > height - 12 * scale) y = height - (unit + 12) * scale;
    thumb.top = thumb.scroller_top_y = y;
    int piece = y;
    if (unit > 4) {
        for (int i = 0; i < (unit - 5) / 4 + 1; ++i) {
            piece = std::min(piece + 4 * scale, lowest_piece);
            thumb.middle_ys.push_back(piece);
        }
    }
    thumb.scroller_bottom_y = std::min(piece + 4 * scale, lowest_piece);
    thumb.bottom = thumb.scroller_bottom_y + 4 * scale;
    return thumb;
}

void DrawScrollArrows(const Canvas& canvas, const ItemBitmaps& bitmaps) {
    int x = canvas.width - canvas.Px(15);
    DrawSkinBitmap(canvas.dc, bitmaps.up_arrow, x, 0, canvas.scale);
    DrawSkinBitmap(canvas.dc, bitmaps.down_arrow, x, canvas.layout_height - canvas.Px(12), canvas.scale);
}

ThumbSpan DrawScrollBar(const Canvas& canvas, const ItemBitmaps& bitmaps, int steps, int position) {
    DrawTrack(canvas);
    DrawScrollArrows(canvas, bitmaps);
    ThumbLayout thumb = LayOutThumb(canvas.layout_height, canvas.scale.scale_factor, steps, position);
    int x = canvas.width - canvas.Px(15);
    DrawSkinBitmap(canvas.dc, bitmaps.scroller_top, x, thumb.scroller_top_y, canvas.scale);
    for (int y : thumb.middle_ys) DrawSkinBitmap(canvas.dc, bitmaps.scroller_middle, x, y, canvas.scale);
    DrawSkinBitmap(canvas.dc, bitmaps.scroller_bottom, x, thumb.scroller_bottom_y, canvas.scale);
    return ThumbSpan{thumb.top, thumb.bottom};
}

}  // namespace qf::display
