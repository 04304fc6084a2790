#include "db/shell_effects.h"

#include "common/settings_store.h"

namespace qf {
namespace {

constexpr UINT kReleaseAnswerTimeoutMs = 5000;

}  // namespace

void SendReleaseDatabase() {
    HWND window = PublishedItemWindow();
    if (window == nullptr) return;
    // A window that does not answer in time (its process stopped or hung) is treated like one that has
    // no database open: the caller goes on, and whatever still holds the file open refuses a replacement.
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, kReleaseDatabaseMessage, 0, 0, SMTO_ABORTIFHUNG, kReleaseAnswerTimeoutMs,
                        &answer);
    Sleep(300);
}

}  // namespace qf
