// Nimbo Setup: the process start sequence.
#include <float.h>
#include <windows.h>

#include "ProcessObjects.h"
#include "StartWindow.h"
#include "StartupTrace.h"
#include "engine/core/Engine.h"

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
  setup::ReleaseProcessObjects();
  return exitCode;
}
