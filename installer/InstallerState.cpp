#include "InstallerState.h"

namespace setup {

HWND startWindowHandle = nullptr;
std::string installDir;
std::string offeredInstallDir = kDefaultInstallDir;
std::atomic<int> installDone{0};
InstallOutcome installOutcome = InstallOutcome::Installed;
std::atomic<bool> productInstalled{false};
int backgroundPhase = 0;

}  // namespace setup
