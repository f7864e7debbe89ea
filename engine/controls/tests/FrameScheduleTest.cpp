#include "engine/controls/FrameSchedule.h"

#include <gtest/gtest.h>

#include <climits>

namespace ui {
namespace {

// The delays come from the image's frame-delay property, 32 bits each: the
// fuzzer's first finding was -2147482772 hundredths, whose product with 10
// overflowed.
TEST(FrameSchedule, DelaysBeyondTheTimerRangeStayWithinIt) {
  struct Case {
    int delay;
    int intervalMs;
  };
  const Case cases[] = {
      {-2147482772, 0},  // the finding
      {INT_MIN, 0},      // negative: as a delay of 0
      {-1, 0},
      {214748364, 2147483640},  // the largest delay whose interval is exact
      {214748365, INT_MAX},     // beyond it the interval stops at INT_MAX
      {INT_MAX, INT_MAX},
      {65535, 655350},  // the longest delay a GIF can store
  };
  for (const Case& c : cases) EXPECT_EQ(FrameIntervalMs({10, c.delay}, 2), c.intervalMs) << "delay " << c.delay;
}

}  // namespace
}  // namespace ui
