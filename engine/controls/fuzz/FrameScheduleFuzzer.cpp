// Any delay list an image's frame-delay property can hold (32-bit values,
// read as signed), normalised and turned into timer intervals.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/controls/FrameSchedule.h"
#include "engine/testing/FuzzCheck.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const bool fixZeroDelays = input.ConsumeBool();
  const int frame = input.ConsumeIntegral<int>();
  std::vector<int> read;
  while (input.remaining_bytes() >= sizeof(int) && read.size() < 64) read.push_back(input.ConsumeIntegral<int>());

  const std::vector<int> delays = ui::NormaliseFrameDelays(read, fixZeroDelays);
  Check(delays.size() == (read.empty() ? 1 : read.size()), "one delay per delay read, or the single 10");
  if (read.empty()) Check(delays[0] == 10, "no delays at all become 10");
  for (std::size_t i = 0; i < read.size(); ++i)
    Check(delays[i] == (fixZeroDelays && read[i] == 0 ? 10 : read[i]), "only zero delays are fixed, and only asked");

  const int interval = ui::FrameIntervalMs(delays, frame);
  Check(interval >= 0, "a timer interval is never negative");
  if (frame < 1) {
    Check(interval == 100, "no frame: 100 ms");
    return 0;
  }
  // A GIF stores each delay in 16 bits: such delays are kept exactly.
  const int own = delays[std::min<std::size_t>(static_cast<std::size_t>(frame), delays.size()) - 1];
  if (own >= 0 && own <= 0xFFFF) Check(interval == own * 10, "a frame waits its own delay, the last beyond the list");
  return 0;
}
