#include "window/menu_drawing.h"

#include <algorithm>

#include "qfdevice/device.h"

namespace qf::device::wm {
namespace {

constexpr int kCheckColumn = 16;  // room left of the text for the check mark
constexpr int kArrowColumn = 14;  // room right of the text for the submenu arrow
constexpr int kTextPadding = 3;   // above and below the text
constexpr int kSeparatorHeight = 7;

HFONT MenuFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void FillColor(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

// A tick two pixels thick in the check column.
void DrawCheck(HDC dc, const RECT& rect, COLORREF color) {
    int s = MenuPixels(1);
    int left = rect.left + MenuPixels(3);
    int middle = (rect.top + rect.bottom) / 2;
    for (int thick = 0; thick < 2 * s; ++thick) {
        Line(dc, left, middle + thick, left + 3 * s, middle + 3 * s + thick, color);
        Line(dc, left + 3 * s, middle + 3 * s + thick, left + 9 * s, middle - 3 * s + thick, color);
    }
}

// A small triangle pointing right at the end of the entry.
void DrawArrow(HDC dc, const RECT& rect, COLORREF color) {
    int half = MenuPixels(4);
    int left = rect.right - MenuPixels(kArrowColumn) + MenuPixels(4);
    int middle = (rect.top + rect.bottom) / 2;
    for (int i = 0; i < half; ++i) Line(dc, left + i, middle - half + i, left + i, middle + half - i, color);
}

}  // namespace

int MenuPixels(int at_96_dpi) { return at_96_dpi * CurrentProfile().dpi / 96; }

SIZE MeasureStandardEntry(const MenuEntry& entry) {
    if (entry.Separator()) return SIZE{MenuPixels(kCheckColumn + kArrowColumn), MenuPixels(kSeparatorHeight)};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, MenuFont());
    SIZE text{};
    GetTextExtentPoint32W(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &text);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return SIZE{text.cx + MenuPixels(kCheckColumn + kArrowColumn),
                metrics.tmHeight + 2 * MenuPixels(kTextPadding)};
}

void DrawStandardEntry(HDC dc, const MenuEntry& entry, const RECT& rect, bool highlighted) {
    bool lit = highlighted && !entry.Separator();
    FillColor(dc, rect, GetSysColor(lit ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (entry.Separator()) {
        int middle = (rect.top + rect.bottom) / 2;
        Line(dc, rect.left + 1, middle, rect.right - 1, middle, GetSysColor(COLOR_BTNSHADOW));
        return;
    }
    COLORREF color = entry.Grayed() ? GetSysColor(COLOR_GRAYTEXT)
                     : lit          ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                    : GetSysColor(COLOR_MENUTEXT);
    if (entry.Checked()) DrawCheck(dc, rect, color);
    if (entry.submenu != nullptr) DrawArrow(dc, rect, color);
    RECT text = rect;
    text.left += MenuPixels(kCheckColumn);
    text.right -= MenuPixels(kArrowColumn);
    HGDIOBJ previous = SelectObject(dc, MenuFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, previous);
}

void DrawMenuFrame(HDC dc, SIZE size, int frame) {
    COLORREF dark = GetSysColor(COLOR_WINDOWFRAME);
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int i = 0; i < frame; ++i) {
        // The outermost line dark all round; inner lines light at the top left, shadowed at the bottom right.
        COLORREF top_left = i == 0 ? dark : light;
        COLORREF bottom_right = i == 0 ? dark : shadow;
        int right = size.cx - 1 - i, bottom = size.cy - 1 - i;
        Line(dc, i, i, right, i, top_left);
        Line(dc, i, i, i, bottom, top_left);
        Line(dc, i, bottom, right + 1, bottom, bottom_right);
        Line(dc, right, i, right, bottom, bottom_right);
    }
}

}  // namespace qf::device::wm
