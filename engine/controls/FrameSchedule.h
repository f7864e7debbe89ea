#pragma once

#include <vector>

namespace ui {

// Frame delays of an animated picture, in hundredths of a second, as read
// from the image; no delays at all become the single delay 10, and with
// `fixZeroDelays` every 0 becomes 10.
std::vector<int> NormaliseFrameDelays(std::vector<int> delays, bool fixZeroDelays);

// The timer interval, in milliseconds, before the 1-based frame is drawn. A
// frame beyond the delay list uses the list's last delay, so that an image
// with one shared delay plays every frame at that pace. A delay read from
// the image can be any 32-bit value: the interval stays between 0 and
// INT_MAX.
int FrameIntervalMs(const std::vector<int>& delays, int frame);

}  // namespace ui
