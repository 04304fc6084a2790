// The pen on the emulated screen, as every host gives it: pen down goes to the window under it, and the
// moves while it is pressed and the pen up go to that same window, in its client coordinates. While a
// popup menu is open, a pen down beside it only closes the menu, as on the device. Main thread only.
#pragma once

#include <windows.h>

namespace qf::emu {

class Pen {
  public:
    // Posts WM_LBUTTONDOWN to the window under the screen point `at` and answers that window; null when
    // the pen went nowhere (nothing there, or it only closed a menu).
    HWND Down(POINT at);
    // Posts WM_MOUSEMOVE with MK_LBUTTON to the window that took the pen down; nothing when none did.
    void Move(POINT at);
    // Posts WM_LBUTTONUP to the window that took the pen down and lifts the pen.
    void Up(POINT at);

  private:
    void PostTo(UINT message, WPARAM keys, POINT at) const;

    HWND target_ = nullptr;
};

}  // namespace qf::emu
