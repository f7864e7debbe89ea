#pragma once

#include "engine/core/Win32.h"

namespace ui::test {

// The performance counter in milliseconds, for benchmarks.
inline double NowMs() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace ui::test
