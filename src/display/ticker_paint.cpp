#include "display/ticker_paint.h"

#include <algorithm>

#include "parse/text_cleanup.h"

namespace qf::display {
namespace {

constexpr UINT kWrapped = DT_WORDBREAK | DT_NOPREFIX;
constexpr int kIconAdvance = 18;

struct TickerItem {
    std::u16string title;
    std::u16string description;
    std::u16string link;
};

// The item at the current index, its texts loaded on first use. An item the database cannot give back
// leaves everything empty, so only the background and the buttons are drawn.
TickerItem LookUpItem(const PaintInputs& inputs) {
    TickerItem item;
    if (inputs.listing == nullptr) return item;
    const std::vector<ListingRow>& listing = inputs.listing->listing();
    if (inputs.current_item_index < 0 || inputs.current_item_index >= static_cast<int>(listing.size()))
        return item;
    const ListingRow* row =
        inputs.listing->FindRow(listing[inputs.current_item_index].item_id, LoadTexts::kYes);
    if (row == nullptr) return item;
    item.title = row->title;
    // Feeds escape their descriptions once or twice; markup is not drawn.
    item.description = StripMarkup(DecodeEntities(DecodeEntities(row->description)));
    item.link = row->link;
    return item;
}

// In tab mode the tab host's alpha-blend function, when loaded, composites the icon through its mask.
void DrawWebLinkIcon(const Canvas& canvas, const ItemBitmaps& bitmaps, int x, int y) {
    constexpr int kIconSize = 16;
    if (bitmaps.alpha_blend != nullptr &&
        bitmaps.alpha_blend->Draw(canvas.dc, x, y, kIconSize, kIconSize, bitmaps.web_link,
                                  bitmaps.web_link_mask, canvas.scale))
        return;
    DrawSkinBitmap(canvas.dc, bitmaps.web_link, x, y, canvas.scale);
}

}  // namespace

void PaintTicker(const Canvas& canvas, const PaintInputs& inputs, PaintState& state) {
    int width = canvas.width;
    int height = canvas.layout_height;
    int top = canvas.Px(2) - state.scroll_offset;
    int left = canvas.Px(inputs.host_mode == HostMode::kToday ? 20 : 15);
    TickerItem item = LookUpItem(inputs);

    state.links.clear();
    int icon_shift = 0;
    if (!item.link.empty() && inputs.web_link_mode != 0) {
        DrawWebLinkIcon(canvas, inputs.bitmaps, left, top);
        state.links.push_back(LinkIcon{item.link, top});
        icon_shift = canvas.Px(kIconAdvance);
    }

    GdiObject<HFONT> bold = CreateItemFont(canvas.dc, inputs.font_size_name, canvas.scale, FW_BOLD);
    int title_height = 0;
    {
        ScopedSelection selected(canvas.dc, bold.get());
        RECT title{left + icon_shift, top, width - canvas.Px(15) - icon_shift, height};
        title_height = MeasureTextHeight(canvas.dc, item.title, title, kWrapped);
        if (top < height) DrawShadowedText(canvas.dc, item.title, title, kWrapped, inputs.shadow_mode);
    }

    state.thumb = ThumbSpan{};
    if (item.description.empty() || !inputs.show_description) {
        state.scroll_offset = 0;
        state.max_scroll = 0;
        if (inputs.expanded) DrawScrollArrows(canvas, inputs.bitmaps);
    } else {
        GdiObject<HFONT> normal = CreateItemFont(canvas.dc, inputs.font_size_name, canvas.scale, FW_NORMAL);
        ScopedSelection selected(canvas.dc, normal.get());
        int description_height =
            MeasureTextHeight(canvas.dc, item.description,
                              RECT{canvas.Px(15), 0, width - canvas.Px(15), inputs.item_height}, kWrapped);
        RECT area{canvas.Px(15), title_height + canvas.Px(2) + top, width - canvas.Px(15), height};
        if (!inputs.expanded) {
            DrawEllipsizedText(canvas.dc, item.description, area, kWrapped, inputs.shadow_mode);
        } else {
            if (height - canvas.Px(12) - title_height < description_height) {
                state.max_scroll = canvas.Px(12) - height + description_height + title_height;
                int line = std::max(state.line_height, 1) * canvas.scale.scale_factor;
                int steps = (state.max_scroll + line - 1) / line;
                state.thumb = DrawScrollBar(canvas, inputs.bitmaps, steps, state.scroll_offset / line);
            } else {
                state.max_scroll = 0;
                DrawScrollArrows(canvas, inputs.bitmaps);
            }
            DrawShadowedText(canvas.dc, item.description, area, kWrapped, inputs.shadow_mode);
        }
    }
    if (inputs.content.list_mode)
        DrawSkinBitmap(canvas.dc, inputs.bitmaps.back_button, 0, height - canvas.Px(13), canvas.scale);
}

}  // namespace qf::display
