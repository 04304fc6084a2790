#include "download/download_schedule.h"

#include <windows.h>

#include <string>

#include "parse/dates.h"
#include "parse/wide_text.h"

namespace qf {
namespace {

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
    LONG frequency = settings.ReadDword(u"AutoReload", u"Frequency", 0);
    settings.WriteDword(u"AutoReload", u"NextReload", NextReloadMinute(CurrentMinuteOfDay(), frequency));
}

DownloadSchedule::DownloadSchedule() : desktop_seen_(PassThroughConnectionPresent()) {}

void DownloadSchedule::Load(SettingsStore& settings) {
    config_.start_on_pass_through = settings.ReadDword(u"AutoReload", u"OnAS", 0) != 0;
    for (size_t n = 0; n < config_.times.size(); ++n) {
        std::u16string key = u"Time" + text::FromAscii(std::to_string(n + 1));
        config_.times[n] = MinuteSetting(settings.ReadDword(u"AutoReload", key, 0));
    }
    RebaseNextReload(settings);
    config_.audio_time = MinuteSetting(settings.ReadDword(u"Audio", u"AutoTime", kNoMinute));
}

bool DownloadSchedule::HasSchedule(const SettingsStore& settings) const {
    return HasAnySchedule(config_, settings.ReadDword(u"AutoReload", u"NextReload", kNoMinute));
}

ScheduleDecision DownloadSchedule::Check(SettingsStore& settings) {
    ScheduleCheck check;
    check.pass_through_present = config_.start_on_pass_through && PassThroughConnectionPresent();
    check.desktop_seen = desktop_seen_;
    check.minute = CurrentMinuteOfDay();
    check.seconds_since_2001 = SecondsSince2001();
    check.last_refresh_seconds =
        text::LeadingNumber(settings.ReadString(u"AutoReload", u"BackgroundLastRefresh", u"0"));
    check.frequency = settings.ReadDword(u"AutoReload", u"Frequency", 0);
    check.next_reload = settings.ReadDword(u"AutoReload", u"NextReload", kNoMinute);
    check.reset_next_reload = settings.ReadDword(u"AutoReload", u"ResetNextReload", 0) != 0;
    ScheduleDecision decision = DecideDownload(config_, check);
    desktop_seen_ = decision.desktop_seen;
    if (decision.rebased_next_reload) {
        settings.WriteDword(u"AutoReload", u"ResetNextReload", 0);
        settings.WriteDword(u"AutoReload", u"NextReload", *decision.rebased_next_reload);
    }
    return decision;
}

}  // namespace qf
