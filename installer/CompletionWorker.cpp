#include "CompletionWorker.h"

#include "DesktopShortcut.h"
#include "InstallLog.h"
#include "InstallPipeline.h"
#include "Installation.h"
#include "InstallerAssets.h"
#include "InstallerState.h"
#include "ProcessObjects.h"
#include "ProgramLauncher.h"
#include "UnelevatedStart.h"
#include "engine/core/TextConversion.h"

namespace setup {
namespace {

constexpr int kCompletionPauseMs = 2000;

void AppendStatus(const std::string& line) { statusBox->Text(statusBox->Text() + line); }

}  // namespace

void LaunchProduct(const std::wstring& folder) {
  // Nimbo runs with the rights of the user at the desktop, not with the
  // installer's administrator rights, where the desktop's shell can start it.
  ProgramStarters starters;
  starters.directly = [](const std::wstring& file, const std::string& parameters) {
    return RunProgram(kVerbOpen, file, parameters);
  };
  LogLine(StartUnelevated(folder + kProductProgram, kLaunchParameters, starters));
}

DWORD WINAPI CompletionWorker(void*) {
  Installation& installation = Installation::Current();
  PipelineSteps steps;
  // Committed only once the bar shows its end: a close before that undoes
  // the installation.
  steps.beforeCommit = [&] { return installation.WaitForDisplay(); };
  const InstallOutcome outcome = RunInstallation(installation, steps);
  if (outcome == InstallOutcome::Cancelled) {
    installation.Finish(outcome);
    return 1;
  }
  if (outcome != InstallOutcome::Installed) {
    // Nothing is registered or started; the window stays open with the reason.
    AppendStatus(FailureLine(outcome, ui::WideToAnsi(installation.FailurePlace()), installation.NotRestored()));
    installation.Finish(outcome);
    return 1;
  }
  AppendStatus(kCompletionLine);
  // Closed during the completion line: installed, but nothing is started.
  const bool stayed = installation.PauseUnlessClosed(kCompletionPauseMs);
  if (stayed) LaunchProduct(installation.Folder());
  installation.Finish(outcome);
  if (!stayed) return 0;
  return PostMessageW(startWindowHandle, WM_CLOSE, 1, 0) ? 0 : 1;
}

}  // namespace setup
