#include "display/item_paint.h"

#include <todaycmn.h>

#include <algorithm>

#include "display/font_size.h"
#include "display/gdi_handles.h"

namespace qf::display {
namespace {

constexpr COLORREF kSkinTransparent = RGB(255, 0, 0);

// Ends the paint on every way out, so that the next WM_PAINT can try again after a failure.
class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// Where the item draws, with the pixel constants of the layout already scaled. The layout keeps to the
// item's height even in a taller window; the rest of the window only gets the background.
struct Canvas {
    HDC dc;
    int width;
    int height;         // the whole client area
    int layout_height;  // min(client height, item height)
    int scale;
    int Px(int unscaled) const { return unscaled * scale; }
};

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

GdiObject<HFONT> CreateItemFont(HDC dc, const PaintInputs& inputs, LONG weight) {
    LOGFONTW font{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof(font), &font);
    font.lfWeight = weight;
    double points =
        ItemFontPoints(inputs.font_size_name, GetSystemDefaultLangID(), inputs.scale.FontMultiplier());
    font.lfHeight = FontHeightForPoints(GetDeviceCaps(dc, LOGPIXELSY), points);
    return GdiObject<HFONT>(CreateFontIndirectW(&font));
}

void PaintMessage(const Canvas& canvas, const PaintInputs& inputs) {
    MessageText message = ChooseMessage(inputs.content);
    int left = canvas.Px(inputs.host_mode == HostMode::kToday ? 20 : 10);
    int top = canvas.Px(2);
    if (top >= canvas.layout_height) return;
    GdiObject<HFONT> font = CreateItemFont(canvas.dc, inputs, message.weight);
    ScopedSelection selected(canvas.dc, font.get());
    RECT area{left, top, canvas.width - canvas.Px(10), canvas.layout_height};
    DrawTextW(canvas.dc, message.text.c_str(), static_cast<int>(message.text.size()), &area,
              DT_WORDBREAK | DT_NOPREFIX);
}

void PaintContent(const Canvas& canvas, const PaintInputs& inputs) {
    switch (ChooseContent(inputs.content)) {
        case ItemContent::kMessage:
            PaintMessage(canvas, inputs);
            break;
        case ItemContent::kTicker:
        case ItemContent::kList:
            // The ticker and the list draw the view listing, which the item does not load yet.
            break;
    }
}

HWND ShellOf(HWND window, HostMode mode) {
    HWND parent = GetParent(window);
    return mode == HostMode::kTab ? GetParent(parent) : parent;
}

}  // namespace

void DrawSkinBitmap(HDC dc, HBITMAP bitmap, int x, int y, const SkinScale& scale) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return;
    int stretch = scale.high_res_skin ? 1 : scale.scale_factor;
    TransparentImage(dc, x, y, info.bmWidth * stretch, info.bmHeight * stretch, bitmap, 0, 0, info.bmWidth,
                     info.bmHeight, kSkinTransparent);
}

bool PaintItem(HWND window, const PaintInputs& inputs) {
    RECT client{};
    GetClientRect(window, &client);
    PaintScope paint(window);
    if (paint.dc() == nullptr) return false;
    MemoryDc memory(paint.dc());
    if (!memory) return false;
    int client_height = client.bottom - client.top;
    Canvas canvas{memory.get(), client.right - client.left, client_height,
                  std::min(client_height, inputs.item_height), inputs.scale.scale_factor};
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(paint.dc(), canvas.width, canvas.height));
    if (!bitmap) return false;
    ScopedSelection selected(canvas.dc, bitmap.get());

    PaintBackground(canvas, window, ShellOf(window, inputs.host_mode), inputs);
    if (inputs.host_mode == HostMode::kToday)
        DrawSkinBitmap(canvas.dc, inputs.menu_button, 0, 0, inputs.scale);
    PaintContent(canvas, inputs);
    BitBlt(paint.dc(), 0, 0, canvas.width, canvas.height, canvas.dc, 0, 0, SRCCOPY);
    return true;
}

}  // namespace qf::display
