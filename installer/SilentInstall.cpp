#include "SilentInstall.h"

#include "CompletionWorker.h"
#include "DesktopShortcut.h"
#include "InstallAction.h"
#include "InstallLog.h"
#include "InstallOutcome.h"
#include "ProgramLauncher.h"

namespace setup {

int RunSilentInstallation(const SetupOptions& options) {
  const std::string folder = NormalisedInstallDir(options.folder.value_or(""));
  OpenInstallLog();
  InstallOutcome outcome = DeployPayload(folder);
  if (outcome == InstallOutcome::Installed && !RegisterProduct(folder)) outcome = InstallOutcome::RegistrationFailed;
  if (outcome == InstallOutcome::Installed) {
    MakeDesktopShortcut(folder);
    if (options.launch) LaunchProduct(folder);
  }
  CloseInstallLog(ExitCodeOf(outcome), OutcomeName(outcome));
  return ExitCodeOf(outcome);
}

}  // namespace setup
