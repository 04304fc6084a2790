#include "display/paint_canvas.h"

#include <algorithm>

#include "display/font_size.h"

namespace qf::display {
namespace {

constexpr COLORREF kSkinTransparent = RGB(255, 0, 0);
constexpr size_t kPrefixStep = 100;

void Draw(HDC dc, std::u16string_view text, RECT rect, UINT format) {
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format);
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

GdiObject<HFONT> CreateItemFont(HDC dc, std::u16string_view font_size_name, const SkinScale& scale,
                                LONG weight) {
    LOGFONTW font{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof(font), &font);
    font.lfWeight = weight;
    double points = ItemFontPoints(font_size_name, GetSystemDefaultLangID(), scale.FontMultiplier());
    font.lfHeight = FontHeightForPoints(GetDeviceCaps(dc, LOGPIXELSY), points);
    return GdiObject<HFONT>(CreateFontIndirectW(&font));
}

int MeasureTextHeight(HDC dc, std::u16string_view text, RECT rect, UINT format) {
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    return rect.bottom - rect.top;
}

void DrawShadowedText(HDC dc, std::u16string_view text, RECT rect, UINT format, int shadow_mode) {
    if (shadow_mode >= 1 && shadow_mode <= 3) {
        COLORREF color = SetTextColor(dc, RGB(0, 0, 0));
        RECT shadow = rect;
        OffsetRect(&shadow, shadow_mode == 2 ? 0 : 1, shadow_mode == 1 ? 0 : 1);
        Draw(dc, text, shadow, format);
        SetTextColor(dc, color);
    }
    Draw(dc, text, rect, format);
}

std::u16string EllipsizedText(std::u16string_view text,
                              const std::function<bool(std::u16string_view)>& fits) {
    if (fits(text)) return std::u16string(text);
    // Grow a prefix a hundred characters at a time until it no longer fits...
    size_t fitting = 0;
    size_t failing = std::min(kPrefixStep, text.size());
    while (failing < text.size() && fits(text.substr(0, failing))) {
        fitting = failing;
        failing = std::min(failing + kPrefixStep, text.size());
    }
    // ...then find the longest prefix below it that fits. Fitting only gets harder as the prefix grows,
    // so halving the interval finds the same length as shortening one character at a time.
    while (failing - fitting > 1) {
        size_t middle = fitting + (failing - fitting) / 2;
        (fits(text.substr(0, middle)) ? fitting : failing) = middle;
    }
    size_t length = fitting;
    while (length > 0 && IsBlank(text[length - 1])) --length;
    length = length > 3 ? length - 3 : 0;
    return std::u16string(text.substr(0, length)) + u"...";
}

void DrawEllipsizedText(HDC dc, std::u16string_view text, RECT rect, UINT format, int shadow_mode) {
    bool single_line = (format & DT_SINGLELINE) != 0;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    auto fits = [&](std::u16string_view candidate) {
        RECT measured = rect;
        DrawTextW(dc, candidate.data(), static_cast<int>(candidate.size()), &measured, format | DT_CALCRECT);
        return single_line ? measured.right - measured.left <= width
                           : measured.bottom - measured.top <= height;
    };
    DrawShadowedText(dc, EllipsizedText(text, fits), rect, format, shadow_mode);
}

void DrawSkinBitmap(HDC dc, HBITMAP bitmap, int x, int y, const SkinScale& scale) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return;
    int stretch = scale.high_res_skin ? 1 : scale.scale_factor;
    TransparentImage(dc, x, y, info.bmWidth * stretch, info.bmHeight * stretch, bitmap, 0, 0, info.bmWidth,
                     info.bmHeight, kSkinTransparent);
}

}  // namespace qf::display
