#include "host/tap_handler.h"

#include <cstdlib>

#include "host/library_state.h"
#include "host/menus.h"
#include "host/navigation.h"
#include "host/tap_decision.h"
#include "host/web_link.h"

namespace qf::host {
namespace {

constexpr int kDragStepPixels = 3;

TapInput TapInputOf(const ItemWindow& item, int x, int y) {
    RECT client{};
    GetClientRect(item.window, &client);
    const LibraryState& library = Library();
    TapInput tap;
    tap.x = x;
    tap.y = y;
    tap.width = client.right - client.left;
    tap.height = client.bottom - client.top;
    tap.scale = library.skin_scale.scale_factor;
    tap.host_mode = library.host_mode;
    tap.downloading = item.downloading;
    tap.dragging = item.pen_dragging;
    tap.list_mode = item.list_mode;
    tap.details_shown = item.details_shown;
    tap.expanded = item.expanded;
    tap.links = &item.paint.links;
    tap.thumb = item.paint.thumb;
    tap.first_visible = item.paint.position.first_visible;
    tap.rows_per_page = item.paint.position.rows_per_page;
    tap.row_pitch = item.paint.row_height * tap.scale;
    tap.row_count = static_cast<int>(item.rows.size());
    return tap;
}

void Tap(ItemWindow& item, int x, int y) {
    TapAction action = DecideTap(TapInputOf(item, x, y));
    if (action.start_drag) item.pen_dragging = true;
    switch (action.kind) {
        case TapKind::kNothing:
            break;
        case TapKind::kMainMenu:
            OpenMainMenu(item);
            break;
        case TapKind::kMoveUp:
            MoveSelectionUp(item);
            break;
        case TapKind::kMoveDown:
            MoveSelectionDown(item);
            break;
        case TapKind::kPageUp:
            PageSelectionUp(item);
            break;
        case TapKind::kPageDown:
            PageSelectionDown(item);
            break;
        case TapKind::kReturnToList:
            ActivateSelection(item);
            break;
        case TapKind::kOpenLink:
            OpenWebLink(item, action.index);
            break;
        case TapKind::kActivateRow:
            item.paint.position.selected = action.index;
            ActivateSelection(item);
            break;
        case TapKind::kItemMenu:
            OpenItemMenu(item);
            break;
    }
}

}  // namespace

void OnPenDown(ItemWindow& item, int x, int y) {
    item.pen_dragging = false;
    item.last_pen_y = y;
    Tap(item, x, y);
}

void OnPenMove(ItemWindow& item, int x, int y) {
    if (!item.pen_dragging || std::abs(y - item.last_pen_y) < kDragStepPixels) return;
    item.last_pen_y = y;
    Tap(item, x, y);
}

void OnPenUp(ItemWindow& item) { item.pen_dragging = false; }

}  // namespace qf::host
