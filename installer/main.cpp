// Nimbo Setup: the process start sequence.
#include <float.h>
#include <windows.h>

#include "InstallClosing.h"
#include "ProcessObjects.h"
#include "StartWindow.h"
#include "StartupTrace.h"
#include "engine/core/Engine.h"

namespace {
// The worker stops within one step of 10 ms; this only bounds a stuck one.
constexpr DWORD kWorkerStopBoundMs = 10000;
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  _fpreset();  // clean floating-point state, round to nearest
  setup::BeginStartupTrace();
  setup::ConstructProcessObjects();
  ui::InitEngine();
  setup::MarkStartupStage("engine");

  int exitCode = 1;
  if (setup::LoadStartWindow() != nullptr) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    exitCode = static_cast<int>(message.wParam);
  }
  // A window closed during the installation leaves the worker to stop at
  // its next step: the controls it uses live until it has.
  if (setup::JoinCompletionWorker(kWorkerStopBoundMs)) setup::ReleaseProcessObjects();
  return exitCode;
}
