#include "ProcessClock.h"

#include "Win32.h"

namespace ui {

double MillisecondsSinceProcessStart() {
  FILETIME creation{}, exit{}, kernel{}, user{}, now{};
  GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(ticks(now) - ticks(creation)) / 10000.0;
}

}  // namespace ui
