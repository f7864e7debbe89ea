#pragma once

#include "engine/core/Win32.h"

namespace setup::test {

// Handles the messages pending on this thread.
inline void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Handles messages until the condition holds or the bound has passed;
// answers whether it held.
template <typename Condition>
bool PumpUntil(Condition condition, DWORD boundMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > boundMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
  return true;
}

// The same, looking at the condition before each message: what the
// condition waits for is acted on before anything the next message does
// (a timer that would move on meanwhile, however late it comes).
template <typename Condition>
bool PumpEachUntil(Condition condition, DWORD boundMs) {
  const DWORD start = GetTickCount();
  MSG message;
  while (!condition()) {
    if (GetTickCount() - start > boundMs) return false;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

}  // namespace setup::test
