#include "FrameSchedule.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace ui {

std::vector<int> NormaliseFrameDelays(std::vector<int> delays, bool fixZeroDelays) {
  if (delays.empty()) delays.push_back(10);
  if (fixZeroDelays) {
    for (int& delay : delays) {
      if (delay == 0) delay = 10;
    }
  }
  return delays;
}

int FrameIntervalMs(const std::vector<int>& delays, int frame) {
  if (delays.empty() || frame < 1) return 100;
  const std::size_t index = static_cast<std::size_t>(frame - 1) < delays.size() ? frame - 1 : delays.size() - 1;
  // A delay is any 32-bit value the image holds: in milliseconds it must
  // still be an int, and a timer period is never negative.
  return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{delays[index]} * 10, 0, INT_MAX));
}

}  // namespace ui
