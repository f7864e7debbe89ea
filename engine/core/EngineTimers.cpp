#include "EngineTimers.h"

#include <utility>

namespace ui {
namespace {

std::function<void(const TimerStart&)>& Observer() {
  static std::function<void(const TimerStart&)> observer;
  return observer;
}

}  // namespace

UINT_PTR StartTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure) {
  if (Observer()) Observer()(TimerStart{window, id, periodMs});
  return SetTimer(window, id, periodMs, procedure);
}

void SetTimerObserver(std::function<void(const TimerStart&)> observer) { Observer() = std::move(observer); }

}  // namespace ui
