#include "InstallerState.h"

namespace setup {

HWND startWindowHandle = nullptr;
std::string offeredInstallDir = kDefaultInstallDir;
int backgroundPhase = 0;

}  // namespace setup
