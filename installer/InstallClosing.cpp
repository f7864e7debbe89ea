#include "InstallClosing.h"

#include "CompletionWorker.h"
#include "Installation.h"
#include "engine/core/EngineMessages.h"

namespace setup {
namespace {

HANDLE workerThread = nullptr;

}  // namespace

bool StartCompletionWorker() {
  if (workerThread != nullptr) CloseHandle(workerThread);
  workerThread = CreateThread(nullptr, 0, &CompletionWorker, nullptr, 0, nullptr);
  return workerThread != nullptr;
}

bool CloseInstallation() { return Installation::Current().Close(); }

LRESULT CancelInstallationOnClose(HWND, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) CloseInstallation();
  return ui::kUnhandled;
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
  JoinCompletionWorker(0);
  Installation::Current().Reset();
}

}  // namespace setup
