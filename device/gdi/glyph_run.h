// Measuring and drawing a run of text in one sized face.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "gdi/bitmap.h"
#include "gdi/rect.h"
#include "gdi/sized_font.h"

namespace qf::device::gdi {

// The advance of each code unit of `text`; a surrogate pair's on its first unit, 0 on its second.
std::vector<int> MeasureAdvances(SizedFont& font, std::u16string_view text);

// Draws `text` antialiased in `pixel`, the pen starting at `x` on the baseline `baseline` and moving
// by `advances` (one per code unit). Only pixels inside `clip` and the bitmap change.
void DrawGlyphRun(Bitmap& bitmap, SizedFont& font, std::u16string_view text, std::span<const int> advances,
                  int x, int baseline, const Rect& clip, std::uint32_t pixel);

}  // namespace qf::device::gdi
