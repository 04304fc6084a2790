#include "gdi/text_placement.h"

#include <algorithm>

#include "win/gdi.h"

namespace qf::device::gdi {
namespace {

LineBreaking BreakingFor(UINT format) {
    if (format & DT_SINGLELINE) return LineBreaking::kSingleLine;
    if (format & DT_WORDBREAK) return LineBreaking::kWords;
    return LineBreaking::kLineBreaksOnly;
}

int LineLeft(const Rect& rect, int width, UINT format) {
    if (format & DT_CENTER) return (rect.left + rect.right - width) / 2;
    if (format & DT_RIGHT) return rect.right - width;
    return rect.left;
}

// Only a single line moves vertically; more lines always start at the top.
int FirstTop(const Rect& rect, int line_height, UINT format) {
    if (!(format & DT_SINGLELINE)) return rect.top;
    if (format & DT_VCENTER) return rect.top + (rect.Height() - line_height) / 2;
    if (format & DT_BOTTOM) return rect.bottom - line_height;
    return rect.top;
}

}  // namespace

TextPlacement PlaceText(std::u16string_view text, std::span<const int> advances, const Rect& rect,
                        UINT format, int line_height) {
    TextPlacement placement;
    if (text.empty()) {
        // An empty single line still has a line's height; empty text otherwise has none.
        int height = (format & DT_SINGLELINE) ? line_height : 0;
        placement.calc_rect = {rect.left, rect.top, rect.left, rect.top + height};
        placement.result = line_height;
        return placement;
    }
    std::vector<TextLine> lines = BreakLines(text, advances, rect.Width(), BreakingFor(format));
    int top = FirstTop(rect, line_height, format);
    int widest = 0;
    int y = top;
    for (const TextLine& line : lines) {
        placement.lines.push_back({line, LineLeft(rect, line.width, format), y});
        widest = std::max(widest, line.width);
        y += line_height;
    }
    // A moved single line keeps the rectangle's top: the answer and the calculated bottom both reach
    // down to where the line ends, as Windows does it.
    placement.calc_rect = {rect.left, rect.top, rect.left + widest, y};
    placement.result = y - rect.top;
    return placement;
}

std::u16string StripPrefixes(std::u16string_view text) {
    std::u16string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            shown.push_back(text[i]);
        } else if (i + 1 < text.size() && text[i + 1] == u'&') {
            shown.push_back(u'&');
            ++i;
        }
    }
    return shown;
}

}  // namespace qf::device::gdi
