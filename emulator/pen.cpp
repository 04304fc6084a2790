#include "pen.h"

#include "menu_driver.h"

namespace qf::emu {

HWND Pen::Down(POINT at) {
    target_ = nullptr;
    if (TapClosesMenu(at)) return nullptr;
    target_ = WindowFromPoint(at);
    if (target_ != nullptr) PostTo(WM_LBUTTONDOWN, MK_LBUTTON, at);
    return target_;
}

void Pen::Move(POINT at) {
    if (target_ != nullptr) PostTo(WM_MOUSEMOVE, MK_LBUTTON, at);
}

void Pen::Up(POINT at) {
    if (target_ != nullptr) PostTo(WM_LBUTTONUP, 0, at);
    target_ = nullptr;
}

void Pen::PostTo(UINT message, WPARAM keys, POINT at) const {
    ScreenToClient(target_, &at);
    PostMessageW(target_, message, keys, MAKELPARAM(at.x, at.y));
}

}  // namespace qf::emu
