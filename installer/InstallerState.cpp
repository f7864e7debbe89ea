#include "InstallerState.h"

namespace setup {

HWND startWindowHandle = nullptr;
std::string installDir;
std::atomic<int> installDone{0};
int backgroundPhase = 0;

}  // namespace setup
