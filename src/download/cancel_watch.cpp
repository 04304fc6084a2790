#include "download/cancel_watch.h"

#include "common/settings_store.h"
#include "download/download_status.h"
#include "download/fetch.h"

namespace qf {
namespace {

constexpr DWORD kPollMs = 250;

}  // namespace

CancelWatch::CancelWatch()
    : stop_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      thread_(CreateThread(nullptr, 0, &CancelWatch::Watch, stop_event_, 0, nullptr)) {}

CancelWatch::~CancelWatch() {
    SetEvent(stop_event_);
    if (thread_ != nullptr) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    CloseHandle(stop_event_);
}

DWORD WINAPI CancelWatch::Watch(LPVOID parameter) {
    HANDLE stop = parameter;
    SettingsStore settings;
    settings.Open(u"Thornbeckvale", u"Quillfeed");
    while (WaitForSingleObject(stop, kPollMs) == WAIT_TIMEOUT) {
        if (settings.ReadDword(u"AutoReload", u"BackgroundStatus", kBackgroundIdle) == kBackgroundCancel) {
            SetFetchCancel(true);
        }
    }
    return 0;
}

}  // namespace qf
