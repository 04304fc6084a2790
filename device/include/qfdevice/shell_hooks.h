// Hooks through which a host shows the shell's user interface (message boxes, the wait cursor).
#pragma once

#include <functional>
#include <string>

#include "win/types.h"

namespace qf::device {

// Answers IDOK, IDYES, ... for a message box with `text`, `caption` and MB_* `type`. Called on the thread
// that called MessageBoxW.
using MessageBoxHook =
    std::function<int(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type)>;
// Any thread. Installs the hook (an empty function restores the headless default).
void SetMessageBoxHook(MessageBoxHook hook);

// Told true when the wait cursor appears and false when it goes.
using WaitCursorHook = std::function<void(bool waiting)>;
void SetWaitCursorHook(WaitCursorHook hook);

}  // namespace qf::device
