#include "display/menu_entry_painter.h"

#include <algorithm>

#include "display/colors.h"
#include "display/gdi_handles.h"

namespace qf::display {
namespace {

// Pixel constants at scale 1.
constexpr int kIconSize = 16;
constexpr int kLeftColumn = 20;  // check mark or icon
constexpr int kArrowColumn = 14;
constexpr int kRightMargin = 4;
constexpr int kTextPadding = 3;  // above and below the text

// Checked entries are bold, so that the current choice stands out even on a small screen.
HFONT EntryFont(bool checked, const MenuLook& look) {
    HFONT font = look.fonts == nullptr
                     ? nullptr
                     : look.fonts->Get(checked ? MenuFontPair::kBold : MenuFontPair::kNormal, look.font_size);
    return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void Fill(HDC dc, const RECT& rect, COLORREF color) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

void Line(HDC dc, POINT from, POINT to, COLORREF color) {
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    ScopedSelection selected(dc, pen.get());
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

// A one-pixel 3-D edge: `top_left` along the top and left, `bottom_right` along the bottom and right.
void Edge(HDC dc, const RECT& r, COLORREF top_left, COLORREF bottom_right) {
    Line(dc, {r.left, r.top}, {r.right - 1, r.top}, top_left);
    Line(dc, {r.left, r.top}, {r.left, r.bottom - 1}, top_left);
    Line(dc, {r.left, r.bottom - 1}, {r.right, r.bottom - 1}, bottom_right);
    Line(dc, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, bottom_right);
}

void CheckMark(HDC dc, const RECT& column, int scale, COLORREF color) {
    int left = (column.left + column.right) / 2 - 5 * scale;
    int middle = (column.top + column.bottom) / 2;
    for (int thick = 0; thick < 2 * scale; ++thick) {
        Line(dc, {left, middle + thick}, {left + 3 * scale, middle + 3 * scale + thick}, color);
        Line(dc, {left + 3 * scale, middle + 3 * scale + thick},
             {left + 10 * scale, middle - 4 * scale + thick}, color);
    }
}

void Arrow(HDC dc, const RECT& rect, int scale, COLORREF color) {
    int half = 4 * scale;
    int left = rect.right - (kArrowColumn - 4) * scale;
    int middle = (rect.top + rect.bottom) / 2;
    for (int i = 0; i < half; ++i)
        Line(dc, {left + i, middle - half + i}, {left + i, middle + half - i}, color);
}

void Icon(HDC dc, const RECT& column, HBITMAP icon, int scale) {
    BITMAP info{};
    if (GetObjectW(icon, sizeof(info), &info) == 0) return;
    int size = kIconSize * scale;
    int x = (column.left + column.right - size) / 2;
    int y = (column.top + column.bottom - size) / 2;
    TransparentImage(dc, x, y, size, size, icon, 0, 0, info.bmWidth, info.bmHeight, RGB(255, 0, 0));
}

}  // namespace

MenuBarColors MenuBarColorsOf(const MenuColors& colors) {
    // Half-way to white, as the item's own selected list row; the edges a little lighter and darker.
    COLORREF fill = LightenColor(colors.highlight, 0.5);
    return MenuBarColors{fill, LightenColor(colors.highlight, 0.8), DarkenColor(colors.highlight, 0.25)};
}

SIZE MeasureMenuEntry(const MenuEntryLook& entry, const MenuLook& look) {
    int scale = std::max(look.scale_factor, 1);
    ScreenDc screen;
    SIZE text{};
    TEXTMETRICW metrics{};
    if (screen) {
        // Measured in bold, so that the entry fits whether or not it is checked.
        ScopedSelection font(screen.get(), EntryFont(true, look));
        GetTextExtentPoint32W(screen.get(), entry.text.c_str(), static_cast<int>(entry.text.size()), &text);
        GetTextMetricsW(screen.get(), &metrics);
    }
    int height = std::max<int>(metrics.tmHeight + 2 * kTextPadding * scale, (kIconSize + 4) * scale);
    int width = text.cx + (kLeftColumn + kArrowColumn + kRightMargin) * scale;
    return SIZE{width, height};
}

void PaintMenuEntry(HDC dc, const RECT& rect, const MenuEntryLook& entry, MenuEntryState state,
                    const MenuLook& look) {
    int scale = std::max(look.scale_factor, 1);
    const MenuColors& colors = look.colors;
    Fill(dc, rect, colors.background);
    if (state.highlighted && !state.grayed) {
        MenuBarColors bar = MenuBarColorsOf(colors);
        Fill(dc, rect, bar.fill);
        Edge(dc, rect, bar.light_edge, bar.dark_edge);
    }
    COLORREF ink = state.grayed ? colors.gray_text : colors.text;
    RECT column{rect.left, rect.top, rect.left + kLeftColumn * scale, rect.bottom};
    if (entry.icon != nullptr) {
        // A checked icon sits in a sunken box, since it has no room for a separate mark.
        if (state.checked) {
            RECT box = column;
            InflateRect(&box, -scale, -scale);
            MenuBarColors bar = MenuBarColorsOf(colors);
            Edge(dc, box, bar.dark_edge, bar.light_edge);
        }
        Icon(dc, column, entry.icon, scale);
    } else if (state.checked) {
        CheckMark(dc, column, scale, ink);
    }
    if (entry.kind == MenuEntryKind::kSubmenu) Arrow(dc, rect, scale, ink);

    RECT text{column.right, rect.top, rect.right - kArrowColumn * scale, rect.bottom};
    ScopedSelection font(dc, EntryFont(state.checked, look));
    int old_mode = SetBkMode(dc, TRANSPARENT);
    COLORREF old_color = SetTextColor(dc, ink);
    DrawTextW(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, old_color);
    SetBkMode(dc, old_mode);
}

}  // namespace qf::display
