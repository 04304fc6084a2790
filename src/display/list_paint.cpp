#include "display/list_paint.h"

#include <algorithm>

#include "display/colors.h"

namespace qf::display {
namespace {

constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_NOPREFIX;
constexpr double kSelectionLightening = 0.5;

void FillSelection(HDC dc, const RECT& row) {
    GdiObject<HBRUSH> brush(
        CreateSolidBrush(LightenColor(GetSysColor(COLOR_HIGHLIGHT), kSelectionLightening)));
    FillRect(dc, &row, brush.get());
}

}  // namespace

ListPage LayOutListPage(int height, int scale, int pitch, int row_count, int selected, int first_visible) {
    ListPage page;
    page.rows_per_page = pitch > 0 ? std::max((height - 4 * scale) / pitch, 1) : 1;
    int per_page = page.rows_per_page;
    page.first = std::max(first_visible, 0) / per_page * per_page;
    if (selected >= 0 && selected < row_count) page.first = selected / per_page * per_page;
    page.last = std::min(page.first + per_page - 1, row_count - 1);
    return page;
}

void PaintList(const Canvas& canvas, const PaintInputs& inputs, PaintState& state) {
    static const std::vector<ListRow> kNoRows;
    const std::vector<ListRow>& rows = inputs.rows != nullptr ? *inputs.rows : kNoRows;
    int count = static_cast<int>(rows.size());
    int width = canvas.width;
    int height = canvas.layout_height;
    int left = canvas.Px(inputs.host_mode == HostMode::kToday ? 20 : 15);
    int pitch = state.row_height * canvas.scale.scale_factor;
    ListPage page = LayOutListPage(height, canvas.scale.scale_factor, pitch, count, state.position.selected,
                                   state.position.first_visible);

    GdiObject<HFONT> font = CreateItemFont(canvas.dc, inputs.font_size_name, canvas.scale, FW_NORMAL);
    ScopedSelection selected_font(canvas.dc, font.get());
    for (int r = page.first; r <= page.last; ++r) {
        int y = canvas.Px(2) - state.scroll_offset + (r - page.first) * pitch;
        // A row that would touch the bottom edge is left for the next page.
        if (y + pitch >= height) {
            page.last = r - 1;
            page.rows_per_page = std::max(page.rows_per_page - 1, 1);
            break;
        }
        const ListRow& row = rows[r];
        int indent = inputs.feed_list && !row.IsFeedRow() ? canvas.Px(10) : 0;
        RECT area{left + indent, y, width - canvas.Px(15), y + pitch};
        if (r == state.position.selected) FillSelection(canvas.dc, area);
        DrawEllipsizedText(canvas.dc, RowCaption(row), area, kCaptionFormat, inputs.shadow_mode);
    }
    state.position.first_visible = page.first;
    state.position.last_visible = page.last;
    state.position.rows_per_page = page.rows_per_page;

    int per_page = page.rows_per_page;
    if (per_page < count) {
        state.thumb =
            DrawScrollBar(canvas, inputs.bitmaps, (count + per_page - 1) / per_page, page.first / per_page);
    } else {
        state.thumb = ThumbSpan{};
        DrawScrollArrows(canvas, inputs.bitmaps);
    }
}

}  // namespace qf::display
