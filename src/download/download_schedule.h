// DownloadSchedule: the auto-reload schedule of a Downloader, read from the AutoReload and Audio settings
// and checked from the owner's heartbeat. The decision itself is schedule.h's; this class reads its
// inputs (settings, device clock, the desktop pass-through key) and writes back what it changes
// (AutoReload/NextReload, AutoReload/ResetNextReload). One thread (the owner's window thread).
#pragma once

#include "common/settings_store.h"
#include "download/schedule.h"

namespace qf {

class DownloadSchedule {
  public:
    // Notes whether the pass-through connection is up now, so that being docked at start-up does not
    // count as docking.
    DownloadSchedule();

    // Reads OnAS, Time1-6 and Audio/AutoTime, and writes NextReload = now + Frequency (or -1).
    void Load(SettingsStore& settings);
    // Whether any automatic download is configured.
    bool HasSchedule(const SettingsStore& settings) const;
    // One check at the current time; writes a rebased NextReload when the decision asks for it.
    ScheduleDecision Check(SettingsStore& settings);

    const ScheduleConfig& config() const { return config_; }

  private:
    ScheduleConfig config_;
    bool desktop_seen_ = false;
};

// The current minute of the day on the device clock.
int CurrentMinuteOfDay();
// Whether HKEY_LOCAL_MACHINE\Comm\Tcpip\Hosts\ppp_peer exists (the device is docked to a desktop).
bool PassThroughConnectionPresent();
// AutoReload/NextReload = NextReloadMinute(now, AutoReload/Frequency).
void RebaseNextReload(SettingsStore& settings);

}  // namespace qf
