#include "db/shell_effects.h"

#include "common/settings_store.h"

namespace qf {

void SendReleaseDatabase() {
    LONG handle = AppSettings().ReadDword(u"Today", u"HWND", 0);
    if (handle == 0) return;
    Sleep(300);
}

}  // namespace qf
