#include "display/item_bitmaps.h"

namespace qf::display {

ItemBitmaps ItemBitmapsOf(const Skin& skin) {
    ItemBitmaps bitmaps;
    bitmaps.menu_button = skin.Get(SkinPiece::kMenuButton);
    bitmaps.up_arrow = skin.Get(SkinPiece::kUpArrow);
    bitmaps.down_arrow = skin.Get(SkinPiece::kDownArrow);
    bitmaps.scroller_top = skin.Get(SkinPiece::kScrollerTop);
    bitmaps.scroller_middle = skin.Get(SkinPiece::kScrollerMiddle);
    bitmaps.scroller_bottom = skin.Get(SkinPiece::kScrollerBottom);
    bitmaps.back_button = skin.Get(SkinPiece::kBackButton);
    bitmaps.web_link = skin.Get(SkinPiece::kWebLink);
    bitmaps.web_link_mask = skin.Get(SkinPiece::kWebLinkMask);
    return bitmaps;
}

}  // namespace qf::display
