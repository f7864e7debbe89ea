#include "InstallClosing.h"

#include <algorithm>
#include <atomic>

#include "CompletionWorker.h"
#include "InstallerState.h"
#include "ProgramLauncher.h"

namespace setup {
namespace {

SRWLOCK closeLock = SRWLOCK_INIT;
std::atomic<bool> closed{false};
HANDLE workerThread = nullptr;

// The steps of a pause: short enough that a close ends it at once.
constexpr int kPauseStepMs = 10;

}  // namespace

bool StartCompletionWorker() {
  if (workerThread != nullptr) CloseHandle(workerThread);
  workerThread = CreateThread(nullptr, 0, &CompletionWorker, nullptr, 0, nullptr);
  return workerThread != nullptr;
}

bool CloseRequested() { return closed.load(std::memory_order_acquire); }

bool RegisterUnlessClosed(const std::function<bool()>& registerProduct) {
  AcquireSRWLockExclusive(&closeLock);
  const bool registered = !closed.load(std::memory_order_relaxed) && registerProduct();
  if (registered) productInstalled.store(true);
  ReleaseSRWLockExclusive(&closeLock);
  return registered;
}

bool PauseUnlessClosed(int milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (CloseRequested()) return false;
    const DWORD waited = GetTickCount() - start;
    if (waited >= static_cast<DWORD>(std::max(milliseconds, 0))) return true;
    WaitMilliseconds(std::min(kPauseStepMs, milliseconds - static_cast<int>(waited)));
  }
}

bool CloseInstallation() {
  AcquireSRWLockExclusive(&closeLock);
  closed.store(true, std::memory_order_release);
  const bool installed = productInstalled.load();
  ReleaseSRWLockExclusive(&closeLock);
  return installed;
}

bool JoinCompletionWorker(DWORD boundMs) {
  if (workerThread == nullptr) return true;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= boundMs) return false;
    // The worker may still send to the (destroyed) window; this thread's
    // messages are handled meanwhile.
    const DWORD woke = MsgWaitForMultipleObjects(1, &workerThread, FALSE, boundMs - waited, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  CloseHandle(workerThread);
  workerThread = nullptr;
  return true;
}

void ResetInstallClosing() {
  closed.store(false);
  JoinCompletionWorker(0);
}

}  // namespace setup
