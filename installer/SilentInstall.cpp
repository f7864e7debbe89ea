#include "SilentInstall.h"

#include "CompletionWorker.h"
#include "DesktopShortcut.h"
#include "InstallAction.h"
#include "InstallLog.h"
#include "InstallOutcome.h"
#include "InstallPipeline.h"
#include "Installation.h"
#include "ProgramLauncher.h"

namespace setup {

int RunSilentInstallation(const SetupOptions& options) {
  const std::string folder = NormalisedInstallDir(options.folder.value_or(""));
  OpenInstallLog();
  Installation& installation = Installation::Current();
  installation.Start();
  std::string where;
  const InstallOutcome outcome = RunInstallation(installation, folder, {}, &where);
  if (outcome == InstallOutcome::Installed) {
    MakeDesktopShortcut(where);
    if (options.launch) LaunchProduct(where);
  }
  installation.Finish(outcome);
  CloseInstallLog(ExitCodeOf(outcome), OutcomeName(outcome));
  return ExitCodeOf(outcome);
}

}  // namespace setup
