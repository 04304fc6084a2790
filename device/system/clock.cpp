#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string_view>

#include "qfdevice/device.h"
#include "system/calendar.h"

namespace chrono = std::chrono;

namespace qf::device {
namespace {

std::int64_t HostUtcMs() {
    return chrono::duration_cast<chrono::milliseconds>(chrono::system_clock::now().time_since_epoch())
        .count();
}

std::int64_t SteadyMs() {
    return chrono::duration_cast<chrono::milliseconds>(chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t BiasMs() { return std::int64_t{CurrentProfile().time_zone_bias_minutes} * 60'000; }

// All device time derives from this state. A pinned clock keeps the device's local time, so that the
// pinned wall clock stays put when the profile's zone changes; uptime stands still while pinned, since
// the device's time is not passing.
class DeviceClock {
  public:
    DeviceClock() : uptime_anchor_ms_(SteadyMs()) {}

    std::int64_t NowUtcMs() {
        std::int64_t local_ms;
        {
            std::lock_guard lock(mutex_);
            if (!pinned_) return HostUtcMs() + host_offset_ms_;
            local_ms = pinned_local_ms_;
        }
        return local_ms + BiasMs();  // outside the lock: the bias reads the profile
    }

    std::int64_t UptimeMs() {
        std::lock_guard lock(mutex_);
        return pinned_ ? uptime_base_ms_ : uptime_base_ms_ + SteadyMs() - uptime_anchor_ms_;
    }

    bool Pinned() {
        std::lock_guard lock(mutex_);
        return pinned_;
    }

    void Pin(std::int64_t local_ms) {
        std::lock_guard lock(mutex_);
        if (!pinned_) uptime_base_ms_ += SteadyMs() - uptime_anchor_ms_;
        pinned_ = true;
        pinned_local_ms_ = local_ms;
    }

    void Unpin() {
        std::lock_guard lock(mutex_);
        if (!pinned_) return;
        pinned_ = false;
        host_offset_ms_ = 0;
        uptime_anchor_ms_ = SteadyMs();
    }

    void Step(std::int64_t step_ms) {
        std::lock_guard lock(mutex_);
        (pinned_ ? pinned_local_ms_ : host_offset_ms_) += step_ms;
        uptime_base_ms_ += step_ms;
    }

    void StepWallClock(std::int64_t step_ms) {
        std::lock_guard lock(mutex_);
        (pinned_ ? pinned_local_ms_ : host_offset_ms_) += step_ms;
    }

  private:
    std::mutex mutex_;
    bool pinned_ = false;
    std::int64_t pinned_local_ms_ = 0;  // local device time while pinned
    std::int64_t host_offset_ms_ = 0;   // steps taken while following the host clock
    std::int64_t uptime_base_ms_ = 0;   // uptime up to uptime_anchor_ms_ (or up to pinning)
    std::int64_t uptime_anchor_ms_;     // steady time from which uptime runs while not pinned
};

// Listeners run one step at a time and are never called after RemoveClockStepListener returns on
// another thread: dispatch holds `mutex` throughout. It is recursive so that a listener may add or
// remove listeners, itself included.
struct StepListeners {
    std::recursive_mutex mutex;
    std::map<int, std::function<void()>> by_id;
    int next_id = 1;
};

DeviceClock& Clock() {
    static DeviceClock clock;
    return clock;
}

StepListeners& Listeners() {
    static StepListeners listeners;
    return listeners;
}

// Reads exactly `digits` decimal digits at `pos`.
std::optional<int> Digits(std::string_view text, size_t pos, size_t digits) {
    if (pos + digits > text.size()) return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(text.data() + pos, text.data() + pos + digits, value);
    if (error != std::errc() || end != text.data() + pos + digits) return std::nullopt;
    return value;
}

// YYYY-MM-DDTHH:MM:SS and nothing else.
std::optional<SYSTEMTIME> ParseClockSetting(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':') {
        return std::nullopt;
    }
    auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    auto hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(*year);
    time.wMonth = static_cast<WORD>(*month);
    time.wDay = static_cast<WORD>(*day);
    time.wHour = static_cast<WORD>(*hour);
    time.wMinute = static_cast<WORD>(*minute);
    time.wSecond = static_cast<WORD>(*second);
    if (!UnixMsFromSystemTime(time)) return std::nullopt;
    return time;
}

// Runs while the library loads, so that uptime counts from process start and a pinned clock is in
// place before any host code reads the time.
[[maybe_unused]] const bool clock_from_environment = [] {
    Clock();
    const char* setting = std::getenv("QUILLFEED_CLOCK");
    if (setting == nullptr || *setting == '\0') return false;
    if (auto time = ParseClockSetting(setting)) {
        PinClock(*time);
        return true;
    }
    std::fprintf(stderr, "qfdevice: ignoring QUILLFEED_CLOCK=%s (expected YYYY-MM-DDTHH:MM:SS)\n", setting);
    return false;
}();

}  // namespace

void PinClock(const SYSTEMTIME& local_time) {
    if (auto local_ms = UnixMsFromSystemTime(local_time)) Clock().Pin(*local_ms);
}

void UnpinClock() { Clock().Unpin(); }

bool ClockPinned() { return Clock().Pinned(); }

void StepClock(chrono::milliseconds step) {
    if (step.count() <= 0) return;
    StepListeners& listeners = Listeners();
    std::lock_guard lock(listeners.mutex);
    Clock().Step(step.count());
    std::vector<int> ids;
    for (const auto& entry : listeners.by_id) ids.push_back(entry.first);
    for (int id : ids) {
        auto it = listeners.by_id.find(id);
        if (it == listeners.by_id.end()) continue;    // removed by an earlier listener
        std::function<void()> listener = it->second;  // a copy survives the listener removing itself
        listener();
    }
}

void SuspendClock(chrono::milliseconds slept) {
    if (slept.count() > 0) Clock().StepWallClock(slept.count());
}

std::int64_t NowUtcMs() { return Clock().NowUtcMs(); }

std::int64_t DeviceUptimeMs() { return Clock().UptimeMs(); }

int AddClockStepListener(std::function<void()> listener) {
    StepListeners& listeners = Listeners();
    std::lock_guard lock(listeners.mutex);
    int id = listeners.next_id++;
    listeners.by_id.emplace(id, std::move(listener));
    return id;
}

void RemoveClockStepListener(int id) {
    StepListeners& listeners = Listeners();
    std::lock_guard lock(listeners.mutex);
    listeners.by_id.erase(id);
}

}  // namespace qf::device
