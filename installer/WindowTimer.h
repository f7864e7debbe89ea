#pragma once

#include "engine/core/Win32.h"

namespace setup {

// A non-visual timer of a window: ticks every `period` milliseconds while
// the period is positive, the first time one period after it is started.
// The window's procedure hands WM_TIMER to HandleTimer.
//
// The window's timers are shared with the engine, whose ids are the
// addresses of its objects and those addresses plus one. The timer's id is
// its own address plus two: a multiple of four plus two, which no engine id
// can be. A tick that comes sooner than one period after the timer was
// (re)started is not this timer's and changes nothing.
class WindowTimer {
 public:
  using TickHandler = void (*)();

  WindowTimer(int period, TickHandler onTick) : period_(period), onTick_(onTick) {}
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;

  // Binds the timer to its window and starts it when the period is positive.
  void Attach(HWND window);

  // Sets the period; 0 (or less) stops the timer.
  void SetPeriod(int period);
  int Period() const { return period_; }
  UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this) + 2; }

  // Runs the tick handler when the message is this timer's; says whether it was.
  bool HandleTimer(UINT_PTR id);

 private:
  // A tick may come this much before the period is over by the tick
  // count's resolution, and still be this timer's.
  static constexpr ULONGLONG kEarlyToleranceMs = 50;

  void Start();

  int period_;
  ULONGLONG startedAt_ = 0;
  TickHandler onTick_;
  HWND window_ = nullptr;
};

}  // namespace setup
