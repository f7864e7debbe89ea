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

double UnixMilliseconds() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  // FILETIME counts 100 ns steps from 1601; 1970 is 11644473600 s later.
  constexpr unsigned long long kUnixEpoch = 116444736000000000ULL;
  return static_cast<double>(ticks - kUnixEpoch) / 10000.0;
}

}  // namespace ui
