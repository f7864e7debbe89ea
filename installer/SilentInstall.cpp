#include "SilentInstall.h"

#include "CompletionWorker.h"
#include "DesktopShortcut.h"
#include "EarlierInstallation.h"
#include "InstallAction.h"
#include "InstallLog.h"
#include "InstallOutcome.h"
#include "InstallPipeline.h"
#include "Installation.h"
#include "ProgramLauncher.h"
#include "ProgramPayload.h"

namespace setup {

int RunSilentInstallation(const SetupOptions& options) {
  // The payload's blocks are verified on a second thread, ahead of the
  // extraction, which verifies any block it reaches first itself.
  ProgramPayload::Pinned().VerifyAhead();
  OpenInstallLog();
  Installation& installation = Installation::Current();
  installation.Choose(NormalisedInstallDir(OfferedFolder(options)));
  installation.Start();
  const InstallOutcome outcome = RunInstallation(installation, {});
  if (outcome == InstallOutcome::Installed) {
    MakeDesktopShortcut(installation.Folder());
    if (options.launch) LaunchProduct(installation.Folder());
  }
  installation.Finish(outcome);
  CloseInstallLog(ExitCodeOf(outcome), OutcomeName(outcome));
  return ExitCodeOf(outcome);
}

}  // namespace setup
