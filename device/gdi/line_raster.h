// Lines as GDI draws them: Bresenham from the start point up to, not including, the end point.
#pragma once

#include <cstdint>

#include "gdi/bitmap.h"

namespace qf::device::gdi {

// Draws the line in `pixel` with a square pen `pen_width` pixels wide. Any coordinates are fine: the
// part outside the bitmap costs nothing.
void DrawLine(Bitmap& bitmap, int x0, int y0, int x1, int y1, int pen_width, std::uint32_t pixel);

}  // namespace qf::device::gdi
