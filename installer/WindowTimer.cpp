#include "WindowTimer.h"

namespace setup {

void WindowTimer::Attach(HWND window) {
  window_ = window;
  SetPeriod(period_);
}

void WindowTimer::SetPeriod(int period) {
  period_ = period;
  if (window_ == nullptr) return;
  if (period_ > 0) SetTimer(window_, id_, static_cast<UINT>(period_), nullptr);
  else KillTimer(window_, id_);
}

bool WindowTimer::HandleTimer(UINT_PTR id) {
  if (id != id_ || period_ <= 0) return false;
  if (onTick_ != nullptr) onTick_();
  return true;
}

}  // namespace setup
