#include "CompletionWorker.h"

#include "DesktopShortcut.h"
#include "InstallerAssets.h"
#include "InstallClosing.h"
#include "InstallLog.h"
#include "InstallerState.h"
#include "ProcessObjects.h"
#include "ProgramLauncher.h"
#include "Registry.h"
#include "UnelevatedStart.h"
#include "engine/core/TextConversion.h"
#include "installer/archive/ByteStreams.h"
#include "installer/archive/ZipReader.h"
#include "product/record/InstallRecord.h"

namespace setup {
namespace {

constexpr int kProgressEnd = 100;
constexpr int kProgressStepMs = 10;
constexpr int kCompletionPauseMs = 2000;

// What the installation's files take on disk in `folder`, in KB (rounded
// up), as Windows shows it for an installed program: the payload's files
// and the installation's record beside them.
std::uint32_t InstalledKilobytes(const std::string& folder) {
  static const std::uint64_t payloadBytes = [] {
    const ui::Bytes payload = PayloadArchive();
    MemorySource source({payload.data(), payload.size()});
    ZipReader reader;
    std::uint64_t bytes = 0;
    if (reader.Open(source) == ZipStatus::kOk) {
      for (std::size_t i = 0; i < reader.EntryCount(); ++i) bytes += reader.Entry(i)->uncompressedSize;
    }
    return bytes;
  }();
  WIN32_FILE_ATTRIBUTE_DATA record{};
  std::uint64_t recordBytes = 0;
  if (GetFileAttributesExW(ui::AnsiToWide(folder + record::kInstallRecordName).c_str(), GetFileExInfoStandard,
                           &record)) {
    recordBytes = (static_cast<std::uint64_t>(record.nFileSizeHigh) << 32) | record.nFileSizeLow;
  }
  return static_cast<std::uint32_t>((payloadBytes + recordBytes + 1023) / 1024);
}

void AppendStatus(const std::string& line) { statusBox->Text(statusBox->Text() + line); }

}  // namespace

// All or nothing: a value that cannot be written takes the others away again.
bool RegisterProduct(const std::string& folder) {
  for (const RegistryValue& value : UninstallValues(folder)) {
    const std::string path = std::string(kUninstallKey) + "\\" + value.name;
    const bool written = value.number ? WriteRegistryNumber(kLocalMachine, path, *value.number)
                                      : WriteRegistryText(kLocalMachine, path, value.data);
    if (!written) {
      DeleteRegistryTree(kLocalMachine, kUninstallKey);
      LogLine("registry: could not write " + path + "; the key was removed again");
      return false;
    }
    LogLine("registry: HKLM\\" + path + " = " +
            (value.number ? std::to_string(*value.number) + " (DWORD)" : value.data));
  }
  return true;
}

std::vector<RegistryValue> UninstallValues(const std::string& folder) {
  const auto text = [](std::string name, std::string data) { return RegistryValue{std::move(name), std::move(data), {}}; };
  const auto number = [](std::string name, std::uint32_t value) { return RegistryValue{std::move(name), {}, value}; };
  return {
      text("", ""),
      text("DisplayIcon", folder + "nimbo.exe"),
      text("DisplayName", "Nimbo"),
      text("DisplayVersion", "2.0.1002"),
      text("HelpLink", "https://nimbo.quorvane.com/help"),
      text("Publisher", "Quorvane"),
      // Quoted: the folder may hold spaces.
      text("UninstallString", "\"" + folder + "uninstall.exe\""),
      text("URLInfoAbout", "https://nimbo.quorvane.com/"),
      text("InstallLocation", folder),
      number("EstimatedSize", InstalledKilobytes(folder)),
      number("NoModify", 1),
      number("NoRepair", 1),
      text("QuietUninstallString", "\"" + folder + "uninstall.exe\" /S"),
  };
}

void LaunchProduct(const std::string& folder) {
  // Nimbo runs with the rights of the user at the desktop, not with the
  // installer's administrator rights, where the desktop's shell can start it.
  ProgramStarters starters;
  starters.directly = [](const std::string& file, const std::string& parameters) {
    return RunProgram(kVerbOpen, file, parameters);
  };
  LogLine(StartUnelevated(folder + kProductProgram, kLaunchParameters, starters));
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
  if (outcome == InstallOutcome::Installed && !RegisterUnlessClosed([] { return RegisterProduct(installDir); })) {
    // A window closed before the registration gets nothing more.
    if (CloseRequested()) return 1;
    outcome = InstallOutcome::RegistrationFailed;
  }
  if (CloseRequested() && !productInstalled.load()) return 1;
  // What the process's exit code tells.
  installOutcome = outcome;
  if (outcome != InstallOutcome::Installed) {
    // Nothing is registered or started; the window stays open with the reason.
    AppendStatus(FailureLine(outcome, installDir));
    return 1;
  }
  AppendStatus(kCompletionLine);
  // Closed during the completion line: installed, but nothing is started.
  if (!PauseUnlessClosed(kCompletionPauseMs)) return 0;
  LaunchProduct(installDir);
  return PostMessageW(startWindowHandle, WM_CLOSE, 1, 0) ? 0 : 1;
}

}  // namespace setup
