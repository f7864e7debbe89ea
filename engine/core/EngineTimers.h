#pragma once

#include <functional>

#include "engine/core/Win32.h"

namespace ui {

// A window timer as the engine started it.
struct TimerStart {
  HWND window = nullptr;
  UINT_PTR id = 0;
  UINT periodMs = 0;
};

// Starts (or restarts) a window timer. Every timer of the engine goes through
// here, so that its period can be observed without waiting for it.
UINT_PTR StartTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure = nullptr);

// Sees every timer started from now on; an empty function stops observing.
// For tests and benchmarks.
void SetTimerObserver(std::function<void(const TimerStart&)> observer);

}  // namespace ui
