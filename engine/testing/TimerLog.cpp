#include "TimerLog.h"

namespace ui::test {

TimerLog::TimerLog() {
  SetTimerObserver([this](const TimerStart& start) { starts.push_back(start); });
}

TimerLog::~TimerLog() { SetTimerObserver(nullptr); }

std::vector<UINT> TimerLog::PeriodsOf(UINT_PTR id) const {
  std::vector<UINT> periods;
  for (const TimerStart& start : starts) {
    if (start.id == id) periods.push_back(start.periodMs);
  }
  return periods;
}

}  // namespace ui::test
