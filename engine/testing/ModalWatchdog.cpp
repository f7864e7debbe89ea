#include "ModalWatchdog.h"

#include <cstdio>

#include "engine/host/PopupMenu.h"

namespace ui::test {
namespace {

BOOL CALLBACK CloseMenuWindow(HWND window, LPARAM) {
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  if (lstrcmpW(title, kMenuTitle) == 0) PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

ModalWatchdog::ModalWatchdog(int boundMs)
    : thread_(GetCurrentThreadId()), done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  watcher_ = std::thread([this, boundMs] { Watch(boundMs); });
}

void ModalWatchdog::Watch(int boundMs) {
  if (WaitForSingleObject(done_, static_cast<DWORD>(boundMs)) == WAIT_OBJECT_0) return;
  fired_ = true;
  EnumThreadWindows(thread_, &CloseMenuWindow, 0);
  if (WaitForSingleObject(done_, 1000) == WAIT_OBJECT_0) return;
  PostThreadMessageW(thread_, WM_QUIT, 0, 0);
  if (WaitForSingleObject(done_, 5000) == WAIT_OBJECT_0) return;
  std::fprintf(stderr, "A modal loop ignored the watchdog: giving up on the test program.\n");
  std::fflush(stderr);
  ExitProcess(3);
}

bool ModalWatchdog::Fired() {
  if (watcher_.joinable()) {
    SetEvent(done_);
    watcher_.join();
  }
  // A quit request meant for the stuck loop must not reach the next test.
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  return fired_;
}

ModalWatchdog::~ModalWatchdog() {
  Fired();
  CloseHandle(done_);
}

}  // namespace ui::test
