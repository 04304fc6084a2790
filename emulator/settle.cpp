#include "settle.h"

#include <windows.h>

#include <algorithm>
#include <thread>

#include "common/settings.h"
#include "qfdevice/item_report.h"
#include "qfdevice/window_manager.h"

namespace qf::emu {
namespace {

using Clock = std::chrono::steady_clock;

// How long the quiet must hold: longer than the gap between a run writing BackgroundStatus 0 and its
// final status message arriving.
constexpr auto kQuietFor = std::chrono::milliseconds(150);
constexpr auto kPollEvery = std::chrono::milliseconds(5);

DWORD BackgroundStatus() {
    HKEY key = nullptr;
    std::u16string path =
        std::u16string(kItemSettingsKey) + u"\\" + std::u16string(setting::kBackgroundStatus.section);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key, std::u16string(setting::kBackgroundStatus.key).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
        value = 0;
    }
    RegCloseKey(key);
    return value;
}

bool Quiet() {
    std::vector<device::ItemState> states = device::ReportedItemStates();
    return BackgroundStatus() == 0 && std::none_of(states.begin(), states.end(),
                                                   [](const device::ItemState& s) { return s.downloading; });
}

}  // namespace

SettleResult SettleDownloads(std::chrono::milliseconds timeout) {
    Clock::time_point deadline = Clock::now() + timeout;
    Clock::time_point quiet_since = Clock::time_point::max();  // max: not quiet
    for (;;) {
        if (device::PumpMessages().quit_code) return SettleResult::kQuit;
        Clock::time_point now = Clock::now();
        if (!Quiet()) {
            quiet_since = Clock::time_point::max();
        } else if (quiet_since == Clock::time_point::max()) {
            quiet_since = now;
        } else if (now - quiet_since >= kQuietFor) {
            return SettleResult::kSettled;
        }
        if (now >= deadline) return SettleResult::kTimedOut;
        std::this_thread::sleep_for(kPollEvery);
    }
}

}  // namespace qf::emu
