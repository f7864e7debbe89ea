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
  const std::string folder = NormalisedInstallDir(OfferedFolder(options));
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
