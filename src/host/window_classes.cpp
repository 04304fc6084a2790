#include "host/window_classes.h"

namespace qf::host {
namespace {

bool RegisterReplacing(HINSTANCE instance, const char16_t* class_name, WNDPROC procedure) {
    UnregisterClassW(class_name, instance);
    WNDCLASSW window_class{};
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = class_name;
    return RegisterClassW(&window_class) != 0;
}

}  // namespace

bool RegisterItemClass(HINSTANCE instance) {
    return RegisterReplacing(instance, kItemClassName, ItemWindowProc);
}

bool RegisterControlStripClass(HINSTANCE instance) {
    return RegisterReplacing(instance, kControlStripClassName, ControlStripProc);
}

}  // namespace qf::host
