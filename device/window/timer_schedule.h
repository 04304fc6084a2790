// Which timer ticks next. Every tick that fell due is delivered on its own, in order of due time, ties
// going to the timer started first: a clock step of 5 s gives a 1000 ms timer 5 ticks, and timers of
// different periods interleave as their due times do.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "window/window_state.h"

namespace qf::device::wm {

// Index in `timers` of the tick to deliver at `now_ms` among the timers that `eligible` accepts; -1 when
// none of them is due.
int NextDueTimer(const std::vector<Timer>& timers, std::int64_t now_ms,
                 const std::function<bool(const Timer&)>& eligible);

// The earliest due time of the timers that `eligible` accepts; nullopt when there are none.
std::optional<std::int64_t> EarliestDue(const std::vector<Timer>& timers,
                                        const std::function<bool(const Timer&)>& eligible);

}  // namespace qf::device::wm
