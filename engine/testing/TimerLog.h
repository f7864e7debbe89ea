#pragma once

#include <vector>

#include "engine/core/EngineTimers.h"

namespace ui::test {

// Records every window timer the engine starts while it exists, so a test
// reads a timer's period instead of measuring it.
class TimerLog {
 public:
  TimerLog();
  ~TimerLog();
  TimerLog(const TimerLog&) = delete;
  TimerLog& operator=(const TimerLog&) = delete;

  // The periods of the timers started with this id, in order.
  std::vector<UINT> PeriodsOf(UINT_PTR id) const;

  std::vector<TimerStart> starts;
};

}  // namespace ui::test
