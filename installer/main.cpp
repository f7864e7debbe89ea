// Nimbo Setup: the process start sequence.
#include <float.h>
#include <windows.h>
#include <ole2.h>

#include "CommandLine.h"
#include "EarlierInstallation.h"
#include "InstallClosing.h"
#include "InstallLog.h"
#include "Installation.h"
#include "InstallerState.h"
#include "ProcessObjects.h"
#include "ProgramPayload.h"
#include "SilentInstall.h"
#include "StartWindow.h"
#include "StartupTrace.h"
#include "InstallerAssets.h"
#include "engine/core/ImagePreloader.h"
#include "engine/core/PictureVariants.h"
#include "engine/core/WindowDpi.h"
#include "engine/core/Engine.h"
#include "engine/core/SystemLibraries.h"
#include "engine/core/TextConversion.h"
#include "product/lock/InstallationLock.h"

namespace {

// A closed installation is undone before the process ends; this only bounds
// a stuck worker.
constexpr DWORD kWorkerStopBoundMs = 120000;
// How long a second start with the window looks for the first one's window
// (the first may still be starting when both were started at once).
constexpr DWORD kFirstWindowWaitMs = 10000;
constexpr DWORD kFirstWindowPollMs = 100;
constexpr char kAnotherRunning[] = "另一个 Nimbo 安装或卸载正在进行。请等它结束后再运行安装程序。";

void ShowMessage(const std::string& text, UINT icon) {
  MessageBoxW(nullptr, ui::AnsiToWide(text).c_str(), ui::AnsiToWide(setup::kStartWindowTitle).c_str(), MB_OK | icon);
}

// The exit code of a run with the window: an installation's result, or 0
// when none was made; an installation the window was closed in the middle
// of has its own code. An installing thread that had not ended when the
// wait for it did counts by where it was: committed is installed, anything
// before that was closed before it finished, its rollback unfinished.
int WindowRunExitCode() {
  const setup::Installation& installation = setup::Installation::Current();
  switch (installation.CurrentPhase()) {
    case setup::Installation::Phase::kNotStarted:
    case setup::Installation::Phase::kCommitted:
      return 0;
    case setup::Installation::Phase::kRunning:
      return setup::kExitClosedBeforeFinished;
    case setup::Installation::Phase::kEnded:
      break;
  }
  return setup::ExitCodeOf(installation.Outcome());
}

// A second start with the window: the first run's window comes to the
// front and this one ends; when no such window shows up (a silent
// installation or a removal holds the lock), the user is told. True when
// this run may go on, the lock held (the first run ended meanwhile).
bool TakeLockWithWindow(product::InstallationLock& lock, int* exitCode) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kFirstWindowWaitMs) {
    if (setup::BringOtherStartWindowToFront()) {
      *exitCode = 0;
      return false;
    }
    if (lock.Acquire(kFirstWindowPollMs) != product::InstallationLock::Result::kBusy) return true;
  }
  ShowMessage(kAnotherRunning, MB_ICONINFORMATION);
  *exitCode = setup::kExitAnotherRunning;
  return false;
}

// A silent run waits for the other one, bounded, and logs why it gave up.
bool TakeLockSilently(product::InstallationLock& lock, int* exitCode) {
  const DWORD start = GetTickCount();
  const product::InstallationLock::Result result = lock.Acquire(product::kSilentLockWaitMs);
  if (result != product::InstallationLock::Result::kBusy) return true;
  setup::OpenInstallLog();
  setup::LogLine("another installation or removal of Nimbo still runs after " +
                 std::to_string((GetTickCount() - start) / 1000) + " s: nothing was installed");
  *exitCode = setup::kExitAnotherRunning;
  setup::CloseInstallLog(*exitCode, "another installation or removal is running");
  return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL: a planted one beside the program or in
  // the current folder is never taken.
  ui::RestrictLibrarySearch();
  // The program's own file, holding the payload, is held from here on: a
  // file put under its name later changes nothing of what is installed.
  setup::ProgramPayload::Pinned();
  _fpreset();  // clean floating-point state, round to nearest
  setup::BeginStartupTrace();
  // Read as Unicode and turned into the program's code page like every text.
  const std::string commandLine = ui::WideToAnsi(GetCommandLineW());
  const setup::SetupOptions options = setup::ParseSetupArguments(setup::ArgumentsOf(commandLine));
  if (!options.error.empty()) {
    // A silent installation shows nothing, not even this.
    if (!options.silent) ShowMessage(options.error + "\n\n" + setup::SetupUsage(), MB_ICONERROR);
    return setup::kExitBadCommandLine;
  }
  setup::SetInstallLog(options.logFile.value_or(setup::DefaultInstallLogPath()), commandLine,
                       options.logFile.has_value());
  if (options.usage) {
    ShowMessage(setup::SetupUsage(), MB_ICONINFORMATION);
    return 0;
  }
  // One installation or removal of Nimbo at a time, held until the end.
  product::InstallationLock lock;
  int refused = 0;
  if (options.silent) {
    return TakeLockSilently(lock, &refused) ? setup::RunSilentInstallation(options) : refused;
  }
  if (lock.Acquire(0) == product::InstallationLock::Result::kBusy && !TakeLockWithWindow(lock, &refused)) {
    return refused;
  }
  setup::offeredInstallDir = setup::OfferedFolder(options);

  setup::ConstructProcessObjects();
  ui::InitEngine();
  // The photograph decodes while the window is made: its drawing for the
  // display's scale (the window's own scale is known once it exists; the
  // primary monitor's is the likely one).
  setup::RegisterScaledPictures();
  ui::PreloadImage(ui::PictureForScale(setup::BackgroundImage1(), ui::WindowDpi(nullptr)).bytes);
  setup::MarkStartupStage("engine");

  int exitCode = 1;
  HRESULT com = E_FAIL;
  if (setup::LoadStartWindow() != nullptr) {
    // COM lives on the window's thread from the end of the show effect as
    // long as the window: the screen readers' objects and the shortcut made
    // at its close need it. Starting it costs as much as the engine's own
    // start, so it comes after the window is on the screen; a screen reader
    // asking during the show effect gets the system's default object.
    com = OleInitialize(nullptr);
    // Every block of the payload is checked while the window waits for the
    // click, so that a damaged one is known before anything is written.
    setup::ProgramPayload::Pinned().StartCheck();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    exitCode = static_cast<int>(message.wParam);
  }
  // A window closed during the installation leaves the worker to stop at
  // its next step: the controls it uses live until it has.
  const bool workerEnded = setup::JoinCompletionWorker(kWorkerStopBoundMs);
  if (workerEnded) {
    // A window closed at once leaves the payload's check running.
    setup::ProgramPayload::Pinned().StopCheck();
    setup::ReleaseProcessObjects();
  } else {
    setup::LogLine("the installing thread had not stopped " + std::to_string(kWorkerStopBoundMs / 1000) +
                   " s after the window closed");
  }
  if (SUCCEEDED(com)) OleUninitialize();
  if (exitCode == 0) exitCode = WindowRunExitCode();
  // An installation's log ends with the process: its result is known then.
  const setup::Installation& installation = setup::Installation::Current();
  const bool unfinished = installation.CurrentPhase() == setup::Installation::Phase::kRunning;
  setup::CloseInstallLog(exitCode,
                         setup::OutcomeName(unfinished ? setup::InstallOutcome::Cancelled : installation.Outcome()));
  return exitCode;
}
