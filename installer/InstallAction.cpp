#include "InstallAction.h"

#include "ArchiveExtraction.h"
#include "CompletionWorker.h"
#include "InstallClosing.h"
#include "InstallLog.h"
#include "InstallRecordWriter.h"
#include "FileSystem.h"
#include "InstallerAssets.h"
#include "InstallerState.h"
#include "ProcessObjects.h"
#include "StartWindow.h"
#include "engine/core/ArgbColor.h"

namespace setup {
namespace {

constexpr char kArchiveName[] = "Nimbo.zip";

ui::ProgressOptions ProgressBarLook() {
  ui::ProgressOptions options;
  options.reserved = 1;
  options.fillStartColor = ui::ArgbFromRgb(0xFF8800);
  options.fillEndColor = ui::ArgbFromRgb(255);
  options.borderColor = ui::ArgbFromRgb(0xFF8800);
  options.rounded = 7;
  return options;
}

ui::EditBoxOptions StatusBoxLook() {
  ui::EditBoxOptions options;
  options.textColor = ui::ArgbFromRgb(ui::Rgb(255, 255, 255));
  options.backColor = 0;
  options.fontName = "微软雅黑";
  options.fontSize = 12;
  options.reserved = 1;
  options.multiLine = 1;
  options.inputMode = ui::kEditReadOnly;
  options.scrollBars = ui::kHorizontalBar;
  options.borderColor = 0;
  return options;
}

}  // namespace

int OnInstallClick(ui::Control*, unsigned, WPARAM, LPARAM) { return InstallAction(); }

std::string NormalisedInstallDir(const std::string& typed) {
  return WithTrailingBackslash(typed.empty() ? std::string(kDefaultInstallDir) : typed);
}

InstallOutcome DeployPayload(const std::string& folder) {
  const unsigned long start = LogClockMs();
  LogLine("folder: " + folder);
  // Every missing level is made: a new folder inside a new folder installs.
  if (!CreateInstallationFolder(folder)) return InstallOutcome::FolderNotCreated;
  const std::string archive = folder + kArchiveName;
  const ui::Bytes payload = PayloadArchive();
  // One write, straight from the program's constant data.
  if (!WriteWholeFile(archive, payload.data(), payload.size())) {
    DeleteFileAt(archive);
    return InstallOutcome::PayloadNotWritten;
  }
  LogLine("archive written: " + archive + " (" + std::to_string(payload.size()) + " bytes)");
  bool unsafe = false;
  InstallRecordWriter record(folder);
  const int extracted = ExtractArchive(archive, folder, &unsafe, [&](const std::string& path, bool isFolder, std::uint32_t bytes) {
    LogLine(isFolder ? "folder " + path : "file " + path + " (" + std::to_string(bytes) + " bytes)");
    record.Add(path, isFolder);
  });
  DeleteFileAt(archive);
  LogLine("archive deleted: " + archive);
  // The record is left also after an extraction that failed part way, so
  // that the uninstaller can remove what did get written.
  bool recorded = false;
  if (extracted == kExtractDone || !record.Empty()) {
    std::string recordPath;
    std::size_t recordBytes = 0;
    recorded = record.Write(&recordPath, &recordBytes);
    LogLine(recorded ? "file " + recordPath + " (" + std::to_string(recordBytes) + " bytes)"
                     : "installation record not written: " + recordPath);
  }
  LogLine("payload on disk in " + std::to_string(LogClockMs() - start) + " ms");
  if (extracted != kExtractDone) return unsafe ? InstallOutcome::ArchiveUnsafe : InstallOutcome::ArchiveFailed;
  // Without its record the installation could not be removed exactly.
  return recorded ? InstallOutcome::Installed : InstallOutcome::PayloadNotWritten;
}

int InstallAction() {
  Timer1.SetPeriod(0);
  installDir = NormalisedInstallDir(pathBox->Text());

  installButton->Visible(0);
  pathBox->Visible(0);
  installButton->Destroy();
  pathBox->Destroy();

  progressBar->accessibleName = "安装进度";
  statusBox->accessibleName = "安装状态";
  progressBar->Create(startWindowHandle, 100, 240, 650, 21, 0, ProgressBarLook());
  statusBox->Create(startWindowHandle, 100, 270, 620, 172, "", StatusBoxLook());
  statusBox->Text(statusBox->Text() + "正在安装");

  OpenInstallLog();
  StartCompletionWorker();

  installOutcome = DeployPayload(installDir);
  installDone.store(1, std::memory_order_release);
  return 0;
}

}  // namespace setup
