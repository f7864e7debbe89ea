#include "StartUp.h"

#include "InstallerState.h"

namespace setup {

void OnStartWindowCreated(HWND window) {
  startWindowHandle = window;
  backgroundPhase = 1;
}

void OnBackgroundTimer() {
  if (backgroundPhase == 1) {
    backgroundPhase = 2;
  } else if (backgroundPhase == 2) {
    backgroundPhase = 1;
  }
}

}  // namespace setup
