#include "download/download_schedule.h"

#include <windows.h>

#include <string>

#include "parse/dates.h"
#include "parse/wide_text.h"

namespace qf {
namespace {

static_assert(setting::kAudioTime.default_value == kNoMinute &&
              setting::kNextReload.default_value == kNoMinute);

// Schedule minutes below 1 leave their slot empty.
int MinuteSetting(LONG value) { return value < 1 ? kNoMinute : static_cast<int>(value); }

}  // namespace

int CurrentMinuteOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wHour * 60 + now.wMinute;
}

bool PassThroughConnectionPresent() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Comm\\Tcpip\\Hosts\\ppp_peer", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void RebaseNextReload(SettingsStore& settings) {
    LONG frequency = settings.Read(setting::kReloadFrequency);
    settings.Write(setting::kNextReload, NextReloadMinute(CurrentMinuteOfDay(), frequency));
}

DownloadSchedule::DownloadSchedule() : desktop_seen_(PassThroughConnectionPresent()) {}

ScheduleConfig ReadScheduleConfig(const SettingsStore& settings) {
    ScheduleConfig config;
    config.start_on_pass_through = settings.Read(setting::kReloadOnPassThrough);
    for (size_t n = 0; n < config.times.size(); ++n) {
        std::u16string key =
            std::u16string(setting::kReloadTimeKeyPrefix) + text::FromAscii(std::to_string(n + 1));
        config.times[n] =
            MinuteSetting(settings.ReadDword(std::u16string(setting::kReloadTimeSection), key, 0));
    }
    config.audio_time = MinuteSetting(settings.Read(setting::kAudioTime));
    return config;
}

ScheduleCheck ReadScheduleCheck(const SettingsStore& settings, const ScheduleConfig& config,
                                bool desktop_seen) {
    ScheduleCheck check;
    check.pass_through_present = config.start_on_pass_through && PassThroughConnectionPresent();
    check.desktop_seen = desktop_seen;
    check.minute = CurrentMinuteOfDay();
    check.seconds_since_2001 = SecondsSince2001();
    check.last_refresh_seconds = text::LeadingNumber(settings.Read(setting::kBackgroundLastRefresh));
    check.frequency = settings.Read(setting::kReloadFrequency);
    check.next_reload = settings.Read(setting::kNextReload);
    check.reset_next_reload = settings.Read(setting::kResetNextReload);
    return check;
}

void DownloadSchedule::Load(SettingsStore& settings) {
    config_ = ReadScheduleConfig(settings);
    RebaseNextReload(settings);
}

bool DownloadSchedule::HasSchedule(const SettingsStore& settings) const {
    return HasAnySchedule(config_, settings.Read(setting::kNextReload));
}

ScheduleDecision DownloadSchedule::Check(SettingsStore& settings) {
    ScheduleDecision decision = DecideDownload(config_, ReadScheduleCheck(settings, config_, desktop_seen_));
    desktop_seen_ = decision.desktop_seen;
    if (decision.rebased_next_reload) {
        settings.Write(setting::kResetNextReload, false);
        settings.Write(setting::kNextReload, *decision.rebased_next_reload);
    }
    return decision;
}

}  // namespace qf
