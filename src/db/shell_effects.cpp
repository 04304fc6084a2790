#include "db/shell_effects.h"

#include "common/settings_store.h"

namespace qf {

void SendReleaseDatabase() {
    LONG handle = AppSettings().ReadDword(u"Today", u"HWND", 0);
    if (handle == 0) return;
    HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(static_cast<DWORD>(handle)));
    SendMessageW(window, kReleaseDatabaseMessage, 0, 0);
    Sleep(300);
}

}  // namespace qf
