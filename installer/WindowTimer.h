#pragma once

#include "engine/core/Win32.h"

namespace setup {

// A non-visual timer of a window: ticks every `period` milliseconds while
// the period is positive. The window's procedure hands WM_TIMER to
// HandleTimer.
class WindowTimer {
 public:
  using TickHandler = void (*)();

  WindowTimer(UINT_PTR id, int period, TickHandler onTick) : id_(id), period_(period), onTick_(onTick) {}

  // Binds the timer to its window and starts it when the period is positive.
  void Attach(HWND window);

  // Sets the period; 0 (or less) stops the timer.
  void SetPeriod(int period);
  int Period() const { return period_; }

  // Runs the tick handler when the message is this timer's; says whether it was.
  bool HandleTimer(UINT_PTR id);

 private:
  UINT_PTR id_;
  int period_;
  TickHandler onTick_;
  HWND window_ = nullptr;
};

}  // namespace setup
