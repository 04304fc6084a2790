// Text: metrics, extents, DrawTextW and ExtTextOutW. Everything drawn is recorded on the bitmap.
#include <string>

#include "gdi/gdi_state.h"
#include "gdi/glyph_run.h"
#include "gdi/text_layout.h"
#include "gdi/text_placement.h"
#include "windows.h"

using qf::device::gdi::Dc;
using qf::device::gdi::DcFont;
using qf::device::gdi::LockedGdi;
using qf::device::gdi::PixelFromColor;
using qf::device::gdi::Rect;

namespace {

// The length DrawTextW-style calls mean: -1 up to the terminating zero; other negatives are invalid.
std::optional<std::u16string_view> TextOf(LPCWSTR text, int count) {
    if (text == nullptr || count < -1) return std::nullopt;
    if (count == -1) return std::u16string_view(text);
    return std::u16string_view(text, static_cast<std::size_t>(count));
}

// The DC's font, or nullopt (and the call fails) when no font file can be opened.
std::optional<DcFont> UsableFont(qf::device::gdi::GdiState& gdi, const Dc& dc) {
    DcFont font = gdi.FontOf(dc);
    if (font.face == nullptr) return std::nullopt;
    return font;
}

void Record(Dc& dc, const DcFont& font, std::u16string_view text, const Rect& box, const Rect& clip) {
    qf::device::DrawnText drawn;
    drawn.text = std::u16string(text);
    drawn.left = box.left;
    drawn.top = box.top;
    drawn.right = box.right;
    drawn.bottom = box.bottom;
    drawn.font_height = font.logfont.lfHeight;
    drawn.font_weight = font.logfont.lfWeight == FW_DONTCARE ? FW_NORMAL : font.logfont.lfWeight;
    drawn.color = dc.text_color & 0xFFFFFF;
    dc.bitmap->texts().Add(std::move(drawn), clip.Intersect(dc.bitmap->bounds()));
}

// Draws one line of `text` with the top of its cell at (x, y) and answers the box it covers.
Rect DrawLine(Dc& dc, const DcFont& font, std::u16string_view text, std::span<const int> advances, int x,
              int y, const Rect& clip) {
    const auto& metrics = font.face->metrics();
    int width = qf::device::gdi::SumWidths(advances);
    Rect box = Rect::Sized(x, y, width, metrics.height());
    if (dc.bk_mode == OPAQUE) dc.bitmap->Fill(box.Intersect(clip), PixelFromColor(dc.bk_color));
    DrawGlyphRun(*dc.bitmap, *font.face, text, advances, x, y + metrics.ascent, clip,
                 PixelFromColor(dc.text_color));
    return box;
}

}  // namespace

QF_EXTERN_C BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics) {
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr || metrics == nullptr) return FALSE;
    auto font = UsableFont(*gdi, *found);
    if (!font) return FALSE;
    const auto& m = font->face->metrics();
    *metrics = TEXTMETRICW{};
    metrics->tmHeight = m.height();
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmInternalLeading = m.internal_leading();
    metrics->tmExternalLeading = m.external_leading;
    metrics->tmAveCharWidth = m.ave_char_width;
    metrics->tmMaxCharWidth = m.max_char_width;
    metrics->tmWeight = font->logfont.lfWeight == FW_DONTCARE ? FW_NORMAL : font->logfont.lfWeight;
    metrics->tmDigitizedAspectX = 96;
    metrics->tmDigitizedAspectY = 96;
    metrics->tmFirstChar = u' ';
    metrics->tmLastChar = 0xFFFC;
    metrics->tmDefaultChar = u'?';
    metrics->tmBreakChar = u' ';
    metrics->tmItalic = font->logfont.lfItalic;
    metrics->tmPitchAndFamily = TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE | FF_SWISS;
    metrics->tmCharSet = ANSI_CHARSET;
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    if (text == nullptr || count < 0 || size == nullptr) return FALSE;
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr) return FALSE;
    auto font = UsableFont(*gdi, *found);
    if (!font) return FALSE;
    std::vector<int> advances = MeasureAdvances(*font->face, std::u16string_view(text, count));
    size->cx = qf::device::gdi::SumWidths(advances);
    size->cy = font->face->metrics().height();
    return TRUE;
}

QF_EXTERN_C int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    auto source = TextOf(text, count);
    if (!source || rect == nullptr) return 0;
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr) return 0;
    auto font = UsableFont(*gdi, *found);
    if (!font) return 0;

    std::u16string shown =
        (format & DT_NOPREFIX) ? std::u16string(*source) : qf::device::gdi::StripPrefixes(*source);
    std::vector<int> advances = MeasureAdvances(*font->face, shown);
    const auto& metrics = font->face->metrics();
    int line_height = metrics.height() + ((format & DT_EXTERNALLEADING) ? metrics.external_leading : 0);
    Rect area = Rect::FromWin(*rect);
    auto placement = PlaceText(shown, advances, area, format, line_height);
    if (format & DT_CALCRECT) {
        rect->right = placement.calc_rect.right;
        rect->bottom = placement.calc_rect.bottom;
        return placement.result;
    }

    Rect clip = (format & DT_NOCLIP) ? found->bitmap->bounds() : area;
    Rect covered;
    for (const auto& placed : placement.lines) {
        if (placed.y >= clip.bottom) break;
        std::u16string_view line(shown.data() + placed.line.begin, placed.line.end - placed.line.begin);
        std::span<const int> line_advances(advances.data() + placed.line.begin, line.size());
        covered = covered.Union(DrawLine(*found, *font, line, line_advances, placed.x, placed.y, clip));
    }
    Record(*found, *font, shown, covered, clip);
    return placement.result;
}

QF_EXTERN_C BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text,
                                    UINT count, const int* dx) {
    if (text == nullptr && count > 0) return FALSE;
    LockedGdi gdi;
    Dc* found = gdi->Find<Dc>(dc);
    if (found == nullptr) return FALSE;
    auto font = UsableFont(*gdi, *found);
    if (!font) return FALSE;
    Rect clip = found->bitmap->bounds();
    if (rect != nullptr) {
        if (options & ETO_OPAQUE) found->bitmap->Fill(Rect::FromWin(*rect), PixelFromColor(found->bk_color));
        if (options & ETO_CLIPPED) clip = clip.Intersect(Rect::FromWin(*rect));
    }
    if (count == 0) return TRUE;
    std::u16string_view shown(text, count);
    std::vector<int> advances =
        dx != nullptr ? std::vector<int>(dx, dx + count) : MeasureAdvances(*font->face, shown);
    Rect box = DrawLine(*found, *font, shown, advances, qf::device::gdi::ClampCoordinate(x),
                        qf::device::gdi::ClampCoordinate(y), clip);
    Record(*found, *font, shown, box, clip);
    return TRUE;
}

QF_EXTERN_C BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    if (count < 0) return FALSE;
    return ExtTextOutW(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}
