#include "window/timer_schedule.h"

#include <tuple>

namespace qf::device::wm {

int NextDueTimer(const std::vector<Timer>& timers, std::int64_t now_ms,
                 const std::function<bool(const Timer&)>& eligible) {
    int best = -1;
    for (int i = 0; i < static_cast<int>(timers.size()); ++i) {
        const Timer& timer = timers[i];
        if (timer.due_ms > now_ms || !eligible(timer)) continue;
        if (best < 0 ||
            std::tie(timer.due_ms, timer.order) < std::tie(timers[best].due_ms, timers[best].order)) {
            best = i;
        }
    }
    return best;
}

std::optional<std::int64_t> EarliestDue(const std::vector<Timer>& timers,
                                        const std::function<bool(const Timer&)>& eligible) {
    std::optional<std::int64_t> earliest;
    for (const Timer& timer : timers) {
        if (eligible(timer) && (!earliest || timer.due_ms < *earliest)) earliest = timer.due_ms;
    }
    return earliest;
}

}  // namespace qf::device::wm
