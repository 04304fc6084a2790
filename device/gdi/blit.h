// Copying pixels, and the texts drawn on them, from one bitmap to another.
#pragma once

#include <optional>

#include "gdi/bitmap.h"

namespace qf::device::gdi {

// A blit's areas: x, y, width, height in each bitmap; a negative width or height mirrors.
struct BlitAreas {
    int x, y, width, height;
    int src_x, src_y, src_width, src_height;
};

// Copies the source area onto the destination area, scaled by nearest pixel and clipped to both
// bitmaps; `src` may be `dst`. With `transparent`, source pixels of that value are skipped and the
// destination's texts stay; otherwise the texts wholly covered are forgotten. The source's texts in its
// area are carried over in either case.
void Blit(Bitmap& dst, const Bitmap& src, const BlitAreas& areas, std::optional<std::uint32_t> transparent);

}  // namespace qf::device::gdi
