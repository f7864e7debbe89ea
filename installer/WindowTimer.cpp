#include "WindowTimer.h"

namespace setup {

void WindowTimer::Attach(HWND window) {
  window_ = window;
  SetPeriod(period_);
}

void WindowTimer::SetPeriod(int period) {
  period_ = period;
  if (window_ == nullptr) return;
  if (period_ > 0) Start();
  else KillTimer(window_, Id());
}

void WindowTimer::Start() {
  SetTimer(window_, Id(), static_cast<UINT>(period_), nullptr);
  startedAt_ = GetTickCount64();
}

bool WindowTimer::HandleTimer(UINT_PTR id) {
  if (id != Id() || period_ <= 0) return false;
  const ULONGLONG now = GetTickCount64();
  if (now - startedAt_ + kEarlyToleranceMs < static_cast<ULONGLONG>(period_)) return true;
  startedAt_ = now;
  if (onTick_ != nullptr) onTick_();
  return true;
}

}  // namespace setup
