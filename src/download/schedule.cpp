#include "download/schedule.h"

#include <algorithm>

namespace qf {

bool MinuteMatches(int stored_minute, int current_minute) {
    int difference = current_minute - stored_minute;
    return (difference >= -1 && difference <= 1) || difference == kMinutesPerDay - 1 ||
           difference == -(kMinutesPerDay - 1);
}

int NextReloadMinute(int current_minute, int frequency_minutes) {
    if (frequency_minutes == 0) return kNoMinute;
    int next = current_minute + frequency_minutes;
    return next > kMinutesPerDay ? next - kMinutesPerDay : next;
}

ScheduleDecision DecideDownload(const ScheduleConfig& config, const ScheduleCheck& check) {
    ScheduleDecision decision;
    decision.desktop_seen = check.desktop_seen;
    bool docked_now = false;
    if (config.start_on_pass_through) {
        if (!check.pass_through_present) {
            decision.desktop_seen = false;
        } else if (!check.desktop_seen) {
            decision.desktop_seen = true;
            docked_now = true;
        }
    }
    auto matches = [&](int stored) { return stored != kNoMinute && MinuteMatches(stored, check.minute); };
    if (docked_now) {
        decision.reason = DueReason::kPassThrough;
    } else if (std::any_of(config.times.begin(), config.times.end(), matches)) {
        decision.reason = DueReason::kTime;
    } else if (matches(config.audio_time)) {
        decision.reason = DueReason::kAudioTime;
        decision.audio_only = true;
    } else if (check.frequency != 0 && check.next_reload != kNoMinute) {
        if (MinuteMatches(check.next_reload, check.minute)) {
            decision.reason = DueReason::kInterval;
        } else if (check.reset_next_reload) {
            decision.rebased_next_reload = NextReloadMinute(check.minute, check.frequency);
        }
    }
    if (decision.reason == DueReason::kNone) return decision;
    decision.suppressed = check.seconds_since_2001 - check.last_refresh_seconds < kMinSecondsBetweenRuns;
    decision.due = !decision.suppressed;
    return decision;
}

bool HasAnySchedule(const ScheduleConfig& config, int next_reload) {
    bool any_time =
        std::any_of(config.times.begin(), config.times.end(), [](int t) { return t != kNoMinute; });
    return config.start_on_pass_through || any_time || next_reload != kNoMinute ||
           config.audio_time != kNoMinute;
}

}  // namespace qf
