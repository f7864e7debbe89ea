#include "InstallAction.h"

#include "FileSystem.h"
#include "InstallClosing.h"
#include "InstallLog.h"
#include "Installation.h"
#include "InstallerState.h"
#include "ProcessObjects.h"
#include "ProgressDisplay.h"
#include "StartWindow.h"
#include "engine/core/ArgbColor.h"
#include "engine/core/TextConversion.h"
#include "product/running/RunningProduct.h"

namespace setup {
namespace {

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

constexpr char kProductRunning[] =
    "Nimbo 正在运行。安装前需要关闭 Nimbo，未保存的内容请先保存。\r\n\r\n要关闭 Nimbo 并继续安装吗？";

// Nimbo running from the folder is closed by the installation before it
// writes; the user says first whether it may be. True to go on.
bool ProductMayClose(const std::wstring& folder) {
  if (product::ProductProcesses({folder}).empty()) return true;
  return MessageBoxW(startWindowHandle, ui::AnsiToWide(kProductRunning).c_str(),
                     ui::AnsiToWide(kStartWindowTitle).c_str(), MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

}  // namespace

int OnInstallClick(ui::Control*, unsigned, WPARAM, LPARAM) { return InstallAction(); }

std::wstring NormalisedInstallDir(const std::string& typed) {
  return ui::AnsiToWide(WithTrailingBackslash(typed.empty() ? std::string(kDefaultInstallDir) : typed));
}

int InstallAction() {
  const std::wstring chosen = NormalisedInstallDir(pathBox->Text());
  if (!ProductMayClose(chosen)) return 0;
  Timer1.SetPeriod(0);
  Installation::Current().Choose(chosen);

  installButton->Visible(0);
  pathBox->Visible(0);
  installButton->Destroy();
  pathBox->Destroy();

  progressBar->SetAccessibleName("安装进度");
  statusBox->SetAccessibleName("安装状态");
  progressBar->Create(startWindowHandle, 100, 240, 650, 21, 0, ProgressBarLook());
  statusBox->Create(startWindowHandle, 100, 270, 620, 172, "", StatusBoxLook());
  statusBox->Text(statusBox->Text() + "正在安装");

  OpenInstallLog();
  // The installation runs on a thread of its own; the window goes on
  // answering, and the bar follows it.
  Installation::Current().Start();
  StartProgressDisplay();
  if (!StartCompletionWorker()) Installation::Current().Finish(InstallOutcome::FolderNotCreated);
  return 0;
}

}  // namespace setup
