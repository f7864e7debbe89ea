// Holds the Wine session's desktop open for as long as the session runs.
//
// Wine's desktop process (explorer) ends a few seconds after the last program
// using the desktop has ended, and the next program starts a new one. Each
// new desktop process begins by taking the X selection over, which empties
// the Windows clipboard; on a loaded machine they came one after another,
// and a program started meanwhile was seen not to close when asked. A
// Windows machine's desktop stays; this program, started with the session
// and ended with it, keeps Wine's too. It shows nothing.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Asking for the desktop window connects this process to the desktop,
  // starting its process if none runs.
  if (GetDesktopWindow() == nullptr) return 1;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
