#include "gdi/sized_font.h"

#include <algorithm>
#include <cmath>

#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace qf::device::gdi {
namespace {

// Font units of the cell above and below the baseline. GDI takes them from the OS/2 table's Windows
// metrics, which is why Tahoma's 11-pixel characters sit in a 13-pixel cell.
struct CellUnits {
    int ascent;
    int descent;
};

CellUnits CellOf(FT_Face face) {
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        return {os2->usWinAscent, os2->usWinDescent};
    }
    return {face->ascender, -face->descender};
}

int Scale(long units, int em_px, int units_per_em) {
    return static_cast<int>(std::lround(static_cast<double>(units) * em_px / units_per_em));
}

const GlyphImage kEmptyGlyph{};

}  // namespace

int SizedFont::EmForCellHeight(FT_Face face, int cell_px) {
    CellUnits cell = CellOf(face);
    int units = cell.ascent + cell.descent;
    if (units <= 0) return std::max(cell_px, 1);
    return std::max(1,
                    static_cast<int>(std::lround(static_cast<double>(cell_px) * face->units_per_EM / units)));
}

SizedFont::SizedFont(FT_Face face, int em_px, Embolden embolden) : face_(face), embolden_(embolden) {
    metrics_.em_px = em_px;
    if (FT_New_Size(face_, &size_) == 0) {
        FT_Activate_Size(size_);
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(em_px));
    }
    ComputeMetrics();
}

SizedFont::~SizedFont() {
    if (size_ != nullptr) FT_Done_Size(size_);
}

void SizedFont::ComputeMetrics() {
    int upem = face_->units_per_EM > 0 ? face_->units_per_EM : 2048;
    CellUnits cell = CellOf(face_);
    metrics_.ascent = Scale(cell.ascent, metrics_.em_px, upem);
    metrics_.descent = Scale(cell.descent, metrics_.em_px, upem);
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
    if (hhea != nullptr) {
        long gap = hhea->Line_Gap - ((cell.ascent + cell.descent) - (hhea->Ascender - hhea->Descender));
        metrics_.external_leading = std::max(0, Scale(gap, metrics_.em_px, upem));
    }
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    metrics_.ave_char_width = os2 != nullptr && os2->xAvgCharWidth > 0
                                  ? Scale(os2->xAvgCharWidth, metrics_.em_px, upem)
                                  : Advance(U'x');
    metrics_.max_char_width = Scale(face_->max_advance_width, metrics_.em_px, upem);
}

const GlyphImage& SizedFont::Glyph(char32_t code_point) {
    if (code_point < 0x20) return kEmptyGlyph;
    if (code_point < latin1_.size()) {
        const GlyphImage*& slot = latin1_[code_point];
        if (slot == nullptr) slot = &Render(FT_Get_Char_Index(face_, code_point));
        return *slot;
    }
    return Render(FT_Get_Char_Index(face_, code_point));
}

const GlyphImage& SizedFont::Render(FT_UInt glyph_index) {
    auto found = by_index_.find(glyph_index);
    if (found != by_index_.end()) return found->second;
    GlyphImage& image = by_index_[glyph_index];
    if (size_ == nullptr) return image;
    FT_Activate_Size(size_);
    if (FT_Load_Glyph(face_, glyph_index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return image;
    FT_GlyphSlot slot = face_->glyph;
    if (embolden_ == Embolden::kYes) FT_GlyphSlot_Embolden(slot);
    image.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return image;
    const FT_Bitmap& bitmap = slot->bitmap;
    image.left = slot->bitmap_left;
    image.top = slot->bitmap_top;
    image.width = static_cast<int>(bitmap.width);
    image.height = static_cast<int>(bitmap.rows);
    image.coverage.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int row = 0; row < image.height; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        std::copy_n(source, image.width, image.coverage.data() + static_cast<std::size_t>(row) * image.width);
    }
    return image;
}

}  // namespace qf::device::gdi
