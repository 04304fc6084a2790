// One face at one pixel size: its Windows-style metrics and its rendered glyphs, cached.
#pragma once

#include <ft2build.h>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>
#include FT_FREETYPE_H

namespace qf::device::gdi {

// Metrics as GDI reports them, in pixels: the cell is ascent + descent high.
struct FontMetrics {
    int em_px = 0;  // the character height, -lfHeight
    int ascent = 0;
    int descent = 0;
    int external_leading = 0;
    int ave_char_width = 0;
    int max_char_width = 0;
    int height() const { return ascent + descent; }
    int internal_leading() const { return height() - em_px; }
};

// An antialiased glyph: `coverage` holds width x height values 0-255, its top-left corner lies `left`
// right of the pen and `top` above the baseline.
struct GlyphImage {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
};

enum class Embolden { kNo, kYes };

class SizedFont {
  public:
    // `face` stays owned by the caller and must outlive this object. Not thread-safe: GDI's lock
    // serialises every use.
    SizedFont(FT_Face face, int em_px, Embolden embolden);
    ~SizedFont();
    SizedFont(const SizedFont&) = delete;
    SizedFont& operator=(const SizedFont&) = delete;

    // The character height that gives a cell of `cell_px` (a positive lfHeight), at least 1.
    static int EmForCellHeight(FT_Face face, int cell_px);

    const FontMetrics& metrics() const { return metrics_; }
    // The glyph of a code point; control characters (below U+0020) are empty and do not advance.
    const GlyphImage& Glyph(char32_t code_point);
    int Advance(char32_t code_point) { return Glyph(code_point).advance; }

  private:
    const GlyphImage& Render(FT_UInt glyph_index);
    void ComputeMetrics();

    FT_Face face_;
    FT_Size size_ = nullptr;
    Embolden embolden_;
    FontMetrics metrics_;
    // Latin-1 is nearly all the text there is: look it up without hashing.
    std::array<const GlyphImage*, 256> latin1_{};
    // Keyed by glyph index, so that every character the face lacks shares the one missing glyph.
    std::unordered_map<FT_UInt, GlyphImage> by_index_;
};

}  // namespace qf::device::gdi
