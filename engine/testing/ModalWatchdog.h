#pragma once

#include <atomic>
#include <thread>

#include "engine/core/Win32.h"

namespace ui::test {

// Guards a test that enters a modal message loop on this thread (a popup
// menu, a context menu). When the loop has not returned within the bound,
// the watchdog closes every engine menu window and then asks the loop to
// quit; `Fired` tells the test it had to. Should even that not end the loop,
// the process exits with a failure rather than hang the suite.
class ModalWatchdog {
 public:
  explicit ModalWatchdog(int boundMs = 5000);
  ~ModalWatchdog();
  ModalWatchdog(const ModalWatchdog&) = delete;
  ModalWatchdog& operator=(const ModalWatchdog&) = delete;

  // Stops watching; true when the watchdog had to end the loop.
  bool Fired();

 private:
  void Watch(int boundMs);

  DWORD thread_;
  HANDLE done_;
  std::atomic<bool> fired_{false};
  std::thread watcher_;
};

}  // namespace ui::test
