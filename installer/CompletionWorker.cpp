#include "CompletionWorker.h"

#include "DesktopShortcut.h"
#include "InstallClosing.h"
#include "InstallerState.h"
#include "ProcessObjects.h"
#include "ProgramLauncher.h"
#include "Registry.h"

namespace setup {
namespace {

constexpr int kProgressEnd = 100;
constexpr int kProgressStepMs = 10;
constexpr int kCompletionPauseMs = 2000;

void AppendStatus(const std::string& line) { statusBox->Text(statusBox->Text() + line); }

// All or nothing: a value that cannot be written takes the others away again.
bool Register(const std::string& folder) {
  for (const RegistryValue& value : UninstallValues(folder)) {
    const std::string path = std::string(kUninstallKey) + "\\" + value.name;
    if (!WriteRegistryText(kLocalMachine, path, value.data)) {
      DeleteRegistryTree(kLocalMachine, kUninstallKey);
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<RegistryValue> UninstallValues(const std::string& folder) {
  return {
      {"", ""},
      {"DisplayIcon", folder + "nimbo.exe"},
      {"DisplayName", "Nimbo"},
      {"DisplayVersion", "2.0.1002"},
      {"HelpLink", "https://nimbo.quorvane.com/help"},
      {"Publisher", "Quorvane"},
      // Quoted: the folder may hold spaces.
      {"UninstallString", "\"" + folder + "uninstall.exe\""},
      {"URLInfoAbout", "https://nimbo.quorvane.com/"},
  };
}

DWORD WINAPI CompletionWorker(void*) {
  // The bar moves on its own pace, whatever the real work has reached.
  while (progressBar->Position() < kProgressEnd) {
    if (CloseRequested()) return 1;
    const int position = progressBar->Position();
    progressBar->Position(position + 1);
    WaitMilliseconds(kProgressStepMs);
  }
  while ((installDone.load(std::memory_order_acquire) & 1) == 0) YieldProcessor();

  InstallOutcome outcome = installOutcome;
  if (outcome == InstallOutcome::Installed && !RegisterUnlessClosed([] { return Register(installDir); })) {
    outcome = InstallOutcome::RegistrationFailed;
  }
  // A window closed before the registration gets nothing more.
  if (CloseRequested() && !productInstalled.load()) return 1;
  if (outcome != InstallOutcome::Installed) {
    // Nothing is registered or started; the window stays open with the reason.
    AppendStatus(FailureLine(outcome, installDir));
    return 1;
  }
  AppendStatus(kCompletionLine);
  // Closed during the completion line: installed, but nothing is started.
  if (!PauseUnlessClosed(kCompletionPauseMs)) return 0;
  RunProgram(kVerbOpen, installDir + kProductProgram, kLaunchParameters);
  return PostMessageW(startWindowHandle, WM_CLOSE, 1, 0) ? 0 : 1;
}

}  // namespace setup
