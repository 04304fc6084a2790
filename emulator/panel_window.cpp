#include "panel_window.h"

#include <algorithm>

namespace qf::emu {
namespace {

constexpr char16_t kPanelClass[] = u"QfEmuPanel";
constexpr COLORREF kTitleBand = RGB(16, 45, 120);
constexpr COLORREF kTitleText = RGB(255, 255, 255);
constexpr COLORREF kButtonFace = RGB(212, 208, 200);

int Scaled(int pixels, int dpi) { return pixels * dpi / 96; }

HFONT PanelFont(int dpi, LONG weight) {
    LOGFONTW font{};
    font.lfHeight = -(dpi * 8 + 36) / 72;  // 8 points
    font.lfWeight = weight;
    std::copy_n(u"Tahoma", 7, font.lfFaceName);
    return CreateFontIndirectW(&font);
}

// A font for one drawing step, selected and freed on the way out.
class ScopedFont {
  public:
    ScopedFont(HDC dc, int dpi, LONG weight) : dc_(dc), font_(PanelFont(dpi, weight)) {
        previous_ = SelectObject(dc, font_);
    }
    ~ScopedFont() {
        SelectObject(dc_, previous_);
        DeleteObject(font_);
    }
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

  private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

void Fill(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void Frame(HDC dc, const RECT& r, COLORREF top_left, COLORREF bottom_right) {
    auto line = [dc](int x0, int y0, int x1, int y1, COLORREF color) {
        HPEN pen = CreatePen(PS_SOLID, 1, color);
        HGDIOBJ previous = SelectObject(dc, pen);
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1);
        SelectObject(dc, previous);
        DeleteObject(pen);
    };
    line(r.left, r.top, r.right - 1, r.top, top_left);
    line(r.left, r.top, r.left, r.bottom - 1, top_left);
    line(r.left, r.bottom - 1, r.right, r.bottom - 1, bottom_right);
    line(r.right - 1, r.top, r.right - 1, r.bottom - 1, bottom_right);
}

void Text(HDC dc, const std::u16string& text, RECT rect, UINT format, COLORREF color) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_NOPREFIX);
}

}  // namespace

struct PanelWindow::Layout {
    RECT title;
    RECT text;
    std::vector<RECT> buttons;
    int height;
};

PanelWindow::Layout PanelWindow::LayOut(HDC dc, const PanelContent& content, int width, int dpi) {
    int pad = Scaled(4, dpi);
    Layout layout;
    layout.title = RECT{0, 0, width, Scaled(18, dpi)};
    RECT text{pad, layout.title.bottom + pad, width - pad, layout.title.bottom + pad};
    {
        ScopedFont font(dc, dpi, FW_NORMAL);
        DrawTextW(dc, content.text.c_str(), static_cast<int>(content.text.size()), &text,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    text.right = width - pad;
    layout.text = text;
    int button_height = Scaled(20, dpi);
    int top = text.bottom + pad;
    // Buttons sit in one row at the bottom right, in their order.
    int right = width - pad;
    ScopedFont font(dc, dpi, FW_NORMAL);
    std::vector<RECT> reversed;
    for (auto it = content.buttons.rbegin(); it != content.buttons.rend(); ++it) {
        SIZE size{};
        GetTextExtentPoint32W(dc, it->c_str(), static_cast<int>(it->size()), &size);
        int button_width = std::max<int>(size.cx + Scaled(16, dpi), Scaled(50, dpi));
        reversed.push_back(RECT{right - button_width, top, right, top + button_height});
        right -= button_width + pad;
    }
    layout.buttons.assign(reversed.rbegin(), reversed.rend());
    layout.height = top + (content.buttons.empty() ? 0 : button_height + pad);
    return layout;
}

int PanelWindow::HeightFor(const PanelContent& content, int width, int dpi) {
    HDC dc = CreateCompatibleDC(nullptr);
    int height = LayOut(dc, content, width, dpi).height;
    DeleteDC(dc);
    return height;
}

PanelWindow::PanelWindow(const PanelContent& content, int left, int top, int width, int dpi,
                         std::function<void(int)> on_button)
    : content_(content), dpi_(dpi), on_button_(std::move(on_button)) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = Procedure;
    window_class.lpszClassName = kPanelClass;
    RegisterClassW(&window_class);  // fails harmlessly once it exists
    window_ = CreateWindowExW(WS_EX_TOPMOST, kPanelClass, content.title.c_str(), WS_POPUP, left, top, width,
                              HeightFor(content, width, dpi), nullptr, nullptr, nullptr, this);
    if (window_ == nullptr) return;
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateWindow(window_);
}

PanelWindow::~PanelWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
}

LRESULT CALLBACK PanelWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    auto* panel = reinterpret_cast<PanelWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (panel != nullptr) {
        switch (message) {
            case WM_PAINT:
                panel->Paint();
                return 0;
            case WM_ERASEBKGND:
                return 1;
            case WM_LBUTTONUP:
                panel->Tapped(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
                return 0;
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void PanelWindow::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    if (dc != nullptr) {
        RECT client{};
        GetClientRect(window_, &client);
        Layout layout = LayOut(dc, content_, client.right, dpi_);
        Fill(dc, client, content_.background);
        Fill(dc, layout.title, kTitleBand);
        RECT title = layout.title;
        title.left += Scaled(4, dpi_);
        {
            ScopedFont font(dc, dpi_, FW_BOLD);
            Text(dc, content_.title, title, DT_SINGLELINE | DT_VCENTER, kTitleText);
        }
        ScopedFont font(dc, dpi_, FW_NORMAL);
        Text(dc, content_.text, layout.text, DT_WORDBREAK, RGB(0, 0, 0));
        for (size_t i = 0; i < layout.buttons.size(); ++i) {
            Fill(dc, layout.buttons[i], kButtonFace);
            Frame(dc, layout.buttons[i], RGB(255, 255, 255), RGB(64, 64, 64));
            Text(dc, content_.buttons[i], layout.buttons[i], DT_SINGLELINE | DT_VCENTER | DT_CENTER,
                 RGB(0, 0, 0));
        }
        Frame(dc, client, RGB(0, 0, 0), RGB(0, 0, 0));
    }
    EndPaint(window_, &paint);
}

void PanelWindow::Tapped(POINT client) {
    HDC dc = CreateCompatibleDC(nullptr);
    RECT whole{};
    GetClientRect(window_, &whole);
    Layout layout = LayOut(dc, content_, whole.right, dpi_);
    DeleteDC(dc);
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        if (PtInRect(&layout.buttons[i], client)) {
            // The callback may destroy this panel: nothing of it is touched afterwards.
            std::function<void(int)> on_button = on_button_;
            on_button(static_cast<int>(i));
            return;
        }
    }
}

}  // namespace qf::emu
