// The control strip beside the item window in tab mode. Its look comes with the tab host's skin; until
// then it answers the Today screen's refresh query like the item window and is otherwise left to the
// default procedure.
#include <todaycmn.h>

#include "host/library_state.h"
#include "host/refresh_cache.h"
#include "host/window_classes.h"

namespace qf::host {

LRESULT CALLBACK ControlStripProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        if (message == WM_TODAYCUSTOM_QUERYREFRESHCACHE) {
            return AnswerRefreshCache(Item(), reinterpret_cast<TODAYLISTITEM*>(wparam));
        }
        if (message == WM_ERASEBKGND) return 1;
        return DefWindowProcW(window, message, wparam, lparam);
    } catch (...) {
        return 0;
    }
}

}  // namespace qf::host
