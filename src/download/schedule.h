// The auto-reload schedule: when a download is due, decided from the schedule settings, the time and the
// desktop pass-through connection. The decision is a pure function so that every case can be tested on
// its own; DownloadSchedule (download_schedule.h) reads its inputs from the registry and applies it.
#pragma once

#include <array>
#include <optional>

namespace qf {

// Minutes of the day: hour * 60 + minute of local time, 0 to 1439. -1 marks an empty slot.
inline constexpr int kNoMinute = -1;
inline constexpr int kMinutesPerDay = 1440;
// A due download is dropped when the last run ended less than this long ago.
inline constexpr long long kMinSecondsBetweenRuns = 300;

// Whether a stored minute matches the current one: within one minute either way, across midnight too.
bool MinuteMatches(int stored_minute, int current_minute);

// The minute of the next interval download after `current_minute`: current + frequency, less 1440 when
// the sum is above 1440 (so 1440 itself stays, and matches 23:59 and 00:00). kNoMinute for frequency 0.
int NextReloadMinute(int current_minute, int frequency_minutes);

// The schedule as LoadSchedule reads it.
struct ScheduleConfig {
    bool start_on_pass_through = false;  // AutoReload/OnAS
    std::array<int, 6> times = {kNoMinute, kNoMinute, kNoMinute, kNoMinute, kNoMinute, kNoMinute};  // Time1-6
    int audio_time = kNoMinute;  // Audio/AutoTime
};

// What one check sees.
struct ScheduleCheck {
    int minute = 0;                      // current minute of the day
    long long seconds_since_2001 = 0;    // now
    long long last_refresh_seconds = 0;  // AutoReload/BackgroundLastRefresh
    int frequency = 0;                   // AutoReload/Frequency
    int next_reload = kNoMinute;         // AutoReload/NextReload
    bool reset_next_reload = false;      // AutoReload/ResetNextReload
    bool pass_through_present = false;   // the desktop pass-through connection is up now
    bool desktop_seen = false;           // it was up at the previous check
};

enum class DueReason { kNone, kPassThrough, kTime, kAudioTime, kInterval };

struct ScheduleDecision {
    bool due = false;
    DueReason reason = DueReason::kNone;  // what matched, even when a recent run suppressed it
    bool suppressed = false;              // matched, but the last run ended under 300 s ago
    bool audio_only = false;              // the audio time matched: the next run fetches audio only
    bool desktop_seen = false;            // the new desktop-seen state
    // Set when NextReload is to be rebased (with ResetNextReload written 0): the new NextReload.
    std::optional<int> rebased_next_reload;
};

// The decision of one check. Pure; any thread.
ScheduleDecision DecideDownload(const ScheduleConfig& config, const ScheduleCheck& check);

// Whether any automatic download is configured (`next_reload`: AutoReload/NextReload).
bool HasAnySchedule(const ScheduleConfig& config, int next_reload);

}  // namespace qf
