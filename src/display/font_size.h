// The item's text sizes: the Today/FontSize names mapped to points, and points to LOGFONT heights.
#pragma once

#include <windows.h>

#include <string_view>

namespace qf::display {

// Any thread. The base size in points: 9 on Chinese, Japanese and Korean systems (their glyphs need the
// extra point), else 8. `system_lang` is the system default LANGID.
int BaseFontPoints(LANGID system_lang);

// Any thread. The size in points of the item's text for a font size name ("smallest", "smaller",
// "normal", "larger", "largest", "VGA - 16pt", "VGA - 18pt"; any other name counts as "normal"),
// multiplied by `multiplier` (SkinScale::FontMultiplier()).
double ItemFontPoints(std::u16string_view font_size_name, LANGID system_lang, int multiplier);

// Any thread. The LOGFONT height for `points` on a device with `logpixels_y` pixels per inch:
// -(logpixels_y * points / 72 + 0.5), truncated towards zero before the sign is applied.
LONG FontHeightForPoints(int logpixels_y, double points);

}  // namespace qf::display
