#include "gdi/glyph_run.h"

#include <algorithm>

#include "gdi/colors.h"

namespace qf::device::gdi {
namespace {

// The code point at unit i and how many units it takes; a lone surrogate stands for itself.
std::pair<char32_t, std::size_t> CodePointAt(std::u16string_view text, std::size_t i) {
    char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
        return {0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00), 2};
    }
    return {unit, 1};
}

void DrawGlyph(Bitmap& bitmap, const GlyphImage& glyph, int x, int y, const Rect& clip, std::uint32_t pixel) {
    Rect area = Rect::Sized(x, y, glyph.width, glyph.height).Intersect(clip);
    for (int row = area.top; row < area.bottom; ++row) {
        const std::uint8_t* coverage =
            glyph.coverage.data() + static_cast<std::size_t>(row - y) * glyph.width + (area.left - x);
        std::uint32_t* target = bitmap.Row(row);
        for (int column = area.left; column < area.right; ++column) {
            unsigned amount = *coverage++;
            if (amount == 255) {
                target[column] = pixel;
            } else if (amount != 0) {
                target[column] = BlendPixel(target[column], pixel, amount);
            }
        }
    }
}

}  // namespace

std::vector<int> MeasureAdvances(SizedFont& font, std::u16string_view text) {
    std::vector<int> advances(text.size(), 0);
    for (std::size_t i = 0; i < text.size();) {
        auto [code_point, units] = CodePointAt(text, i);
        advances[i] = font.Advance(code_point);
        i += units;
    }
    return advances;
}

void DrawGlyphRun(Bitmap& bitmap, SizedFont& font, std::u16string_view text, std::span<const int> advances,
                  int x, int baseline, const Rect& clip, std::uint32_t pixel) {
    Rect visible = clip.Intersect(bitmap.bounds());
    if (visible.IsEmpty()) return;
    // Caller-given advances may be anything: keep the pen in 64 bits and draw only near the clip.
    constexpr std::int64_t kReach = 4096;  // wider than any glyph at the largest size
    std::int64_t pen = x;
    for (std::size_t i = 0; i < text.size() && pen < visible.right; i += CodePointAt(text, i).second) {
        if (pen > visible.left - kReach) {
            const GlyphImage& glyph = font.Glyph(CodePointAt(text, i).first);
            DrawGlyph(bitmap, glyph, static_cast<int>(pen) + glyph.left, baseline - glyph.top, visible,
                      pixel);
        }
        pen += advances[i];
    }
}

}  // namespace qf::device::gdi
