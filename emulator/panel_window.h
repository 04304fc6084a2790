// The emulated shell's own small windows: a title band, a word-wrapped text and a row of buttons, drawn
// as the device's shell draws notification bubbles and message boxes. Main thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qf::emu {

struct PanelContent {
    std::u16string title;
    std::u16string text;
    std::vector<std::u16string> buttons;
    COLORREF background = RGB(255, 255, 255);
};

class PanelWindow {
  public:
    // Shows the panel on top of everything, without taking the foreground, with its top-left corner at
    // the screen point (left, top), `width` pixels wide and as high as its content needs (pixel constants
    // scaled for `dpi`). `on_button` is called with a button's index when a tap lands on it.
    PanelWindow(const PanelContent& content, int left, int top, int width, int dpi,
                std::function<void(int button)> on_button);
    ~PanelWindow();
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    HWND window() const { return window_; }
    // The height the content needs at `width` pixels.
    static int HeightFor(const PanelContent& content, int width, int dpi);

  private:
    struct Layout;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    static Layout LayOut(HDC dc, const PanelContent& content, int width, int dpi);
    void Paint();
    void Tapped(POINT client);

    PanelContent content_;
    int dpi_;
    std::function<void(int)> on_button_;
    HWND window_ = nullptr;
};

}  // namespace qf::emu
