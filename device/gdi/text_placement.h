// Where DrawTextW puts each line in its rectangle, and the rectangle DT_CALCRECT answers. Pure, like
// the line breaking it builds on.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gdi/rect.h"
#include "gdi/text_layout.h"
#include "win/types.h"

namespace qf::device::gdi {

struct PlacedLine {
    TextLine line;
    int x = 0;  // left edge of the line
    int y = 0;  // top of its cell
};

struct TextPlacement {
    std::vector<PlacedLine> lines;
    Rect calc_rect;  // what DT_CALCRECT writes back
    int result = 0;  // what DrawTextW answers
};

// Places `text` (prefixes already handled) in `rect` following the DT_* `format` flags, with
// `advances` per code unit and lines `line_height` apart.
TextPlacement PlaceText(std::u16string_view text, std::span<const int> advances, const Rect& rect,
                        UINT format, int line_height);

// The text as shown without DT_NOPREFIX: "&&" becomes "&", any other "&" disappears.
std::u16string StripPrefixes(std::u16string_view text);

}  // namespace qf::device::gdi
