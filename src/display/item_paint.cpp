#include "display/item_paint.h"

#include <todaycmn.h>

#include <algorithm>

#include "display/list_paint.h"
#include "display/offscreen_paint.h"
#include "display/ticker_paint.h"

namespace qf::display {
namespace {

COLORREF TodayColor(HWND shell, DWORD which) {
    return static_cast<COLORREF>(SendMessageW(shell, TODAYM_GETCOLOR, which, 0));
}

void PaintBackground(const Canvas& canvas, HWND window, HWND shell, const PaintInputs& inputs) {
    RECT client{0, 0, canvas.width, canvas.height};
    if (inputs.themed_background) {
        TODAYDRAWWATERMARKINFO watermark{canvas.dc, client, window};
        SendMessageW(shell, TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&watermark));
        SetBkMode(canvas.dc, TRANSPARENT);
    } else {
        SetBkMode(canvas.dc, OPAQUE);
        FillRect(canvas.dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    if (inputs.item_selected) {
        GdiObject<HBRUSH> highlight(CreateSolidBrush(TodayColor(shell, TODAYCOLOR_HIGHLIGHT)));
        FillRect(canvas.dc, &client, highlight.get());
    }
    // With a white background the text stays black, even on the selection highlight.
    if (inputs.themed_background) {
        DWORD text = inputs.item_selected ? TODAYCOLOR_HIGHLIGHTEDTEXT : TODAYCOLOR_TEXT;
        SetTextColor(canvas.dc, TodayColor(shell, text));
    }
}

void PaintMessage(const Canvas& canvas, const PaintInputs& inputs) {
    MessageText message = ChooseMessage(inputs.content);
    int left = canvas.Px(inputs.host_mode == HostMode::kToday ? 20 : 10);
    int top = canvas.Px(2);
    if (top >= canvas.layout_height) return;
    GdiObject<HFONT> font = CreateItemFont(canvas.dc, inputs.font_size_name, canvas.scale, message.weight);
    ScopedSelection selected(canvas.dc, font.get());
    RECT area{left, top, canvas.width - canvas.Px(10), canvas.layout_height};
    DrawTextW(canvas.dc, message.text.c_str(), static_cast<int>(message.text.size()), &area,
              DT_WORDBREAK | DT_NOPREFIX);
}

// Row height and line height follow the font size; the start-up asks for them again after it reloaded
// the settings.
void MeasureTextHeights(const Canvas& canvas, const PaintInputs& inputs, PaintState& state) {
    if (!state.measure_row_height && !state.measure_line_height) return;
    GdiObject<HFONT> font = CreateItemFont(canvas.dc, inputs.font_size_name, canvas.scale, FW_NORMAL);
    ScopedSelection selected(canvas.dc, font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(canvas.dc, &metrics);
    int height = std::max(static_cast<int>(metrics.tmHeight) / canvas.scale.scale_factor, 1);
    if (state.measure_row_height) state.row_height = height;
    if (state.measure_line_height) state.line_height = height;
    state.measure_row_height = state.measure_line_height = false;
}

void PaintContent(const Canvas& canvas, const PaintInputs& inputs, PaintState& state) {
    switch (ChooseContent(inputs.content)) {
        case ItemContent::kMessage:
            PaintMessage(canvas, inputs);
            break;
        case ItemContent::kTicker:
            PaintTicker(canvas, inputs, state);
            break;
        case ItemContent::kList:
            PaintList(canvas, inputs, state);
            break;
    }
}

HWND ShellOf(HWND window, HostMode mode) {
    HWND parent = GetParent(window);
    return mode == HostMode::kTab ? GetParent(parent) : parent;
}

}  // namespace

bool PaintItem(HWND window, const PaintInputs& inputs, PaintState& state) {
    OffscreenPaint paint(window);
    if (!paint.ready()) return false;
    Canvas canvas{paint.dc(), paint.width(), paint.height(), std::min(paint.height(), inputs.item_height),
                  inputs.scale};

    PaintBackground(canvas, window, ShellOf(window, inputs.host_mode), inputs);
    if (inputs.host_mode == HostMode::kToday)
        DrawSkinBitmap(canvas.dc, inputs.bitmaps.menu_button, 0, 0, inputs.scale);
    MeasureTextHeights(canvas, inputs, state);
    PaintContent(canvas, inputs, state);
    paint.Present();
    return true;
}

}  // namespace qf::display
