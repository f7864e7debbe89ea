// Nimbo: the product's program. It records how it was started and shows its
// window until the user closes it.
#include <float.h>
#include <ole2.h>

#include "MainWindow.h"
#include "StartRecord.h"
#include "engine/core/Engine.h"
#include "engine/core/SystemLibraries.h"
#include "product/running/RunningProduct.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL: none is ever taken from the program's
  // own folder or the current one.
  ui::RestrictLibrarySearch();
  _fpreset();  // clean floating-point state, round to nearest
  OleInitialize(nullptr);
  ui::InitEngine();

  const std::wstring commandLine = GetCommandLineW();
  // A record that cannot be written must not keep Nimbo from starting.
  nimbo::RecordStart(commandLine);

  // The installer and the uninstaller ask a running Nimbo to close before
  // they replace or remove its files; this says that it runs.
  const product::RunningMark running;
  int exitCode = 1;
  {
    nimbo::MainWindow window;
    if (window.Create(commandLine)) {
      MSG message;
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      exitCode = static_cast<int>(message.wParam);
    }
  }
  OleUninitialize();
  return exitCode;
}
