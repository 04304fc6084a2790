#include "download/cancel_watch.h"

#include "common/settings_store.h"
#include "download/download_status.h"
#include "download/fetch.h"

namespace qf {
namespace {

constexpr DWORD kPollMs = 100;

}  // namespace

CancelWatch::CancelWatch()
    : stop_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      thread_(CreateThread(nullptr, 0, &CancelWatch::Watch, this, 0, nullptr)) {}

CancelWatch::~CancelWatch() {
    SetEvent(stop_event_);
    if (thread_ != nullptr) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    CloseHandle(stop_event_);
}

DWORD WINAPI CancelWatch::Watch(LPVOID parameter) {
    auto* watch = static_cast<CancelWatch*>(parameter);
    SettingsStore settings;
    settings.OpenItemSettings();
    do {
        bool requested = settings.Read(setting::kBackgroundStatus) == kBackgroundCancel;
        watch->requested_ = requested;
        if (requested) SetFetchCancel(true);
    } while (WaitForSingleObject(watch->stop_event_, kPollMs) == WAIT_TIMEOUT);
    return 0;
}

}  // namespace qf
