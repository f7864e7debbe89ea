#include "Uninstaller.h"

#include <string>
#include <vector>

#include "ExitCodes.h"
#include "FolderRemoval.h"
#include "PayloadPlan.h"
#include "ProductRegistration.h"
#include "RecordedEntries.h"
#include "TemporaryCopy.h"
#include "engine/core/TextConversion.h"
#include "engine/core/UnguessableName.h"
#include "engine/core/Win32.h"
#include "product/journal/JournalReplay.h"
#include "product/lock/InstallationLock.h"
#include "product/running/RunningProduct.h"

#include <objbase.h>

namespace uninstall {
namespace {

constexpr char kCaption[] = "Nimbo 卸载";
constexpr char kConfirm[] = "确定要卸载 Nimbo 吗？";
constexpr char kDone[] = "Nimbo 已卸载。";
constexpr char kUserFilesKept[] = "安装文件夹中不属于 Nimbo 的文件已保留。";
constexpr char kRootFolder[] = "卸载程序不在 Nimbo 的安装文件夹中，卸载已取消：";
constexpr char kNotInstalled[] = "这个文件夹中没有 Nimbo 的卸载程序，卸载已取消：";
constexpr char kNoRecord[] = "这个文件夹中没有 Nimbo 的安装记录，没有删除任何文件：";
constexpr char kOtherInstallation[] = "另一个 Nimbo 安装的程序登记和桌面快捷方式已保留。";
constexpr char kBadList[] = "卸载程序的文件列表有误，卸载已取消：";
constexpr char kNotStarted[] = "无法开始卸载：";
constexpr char kFolderIsLink[] = "安装文件夹是一个链接，卸载已取消，没有删除任何文件：";
constexpr char kAnotherRunning[] = "Nimbo 正在安装或卸载，请等它结束后再卸载。";
constexpr char kIncomplete[] = "以下项目无法删除（Nimbo 也许正在运行），请关闭 Nimbo 后重新运行卸载程序：";
constexpr char kCloseProduct[] =
    "Nimbo 正在运行。卸载前需要关闭 Nimbo，未保存的内容请先保存。\r\n\r\n要关闭 Nimbo 并继续卸载吗？";
constexpr char kProductStillRunning[] = "Nimbo 没有关闭，没有删除任何文件。请关闭 Nimbo 后重新运行卸载程序。";
constexpr std::size_t kListedFailures = 10;

std::wstring Text(const char* text) { return ui::AnsiToWide(text); }

void Tell(const Switches& switches, const std::wstring& message, UINT icon) {
  if (switches.silent) return;
  MessageBoxW(nullptr, message.c_str(), Text(kCaption).c_str(), MB_OK | icon | MB_SETFOREGROUND);
}

bool UserConfirms(const Switches& switches) {
  if (switches.silent) return true;
  return MessageBoxW(nullptr, Text(kConfirm).c_str(), Text(kCaption).c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) == IDYES;
}

// The checks both runs make before anything is touched, and what is to be
// removed; kExitRemoved when the removal may go ahead.
int CheckFolderAndList(const Switches& switches, const std::wstring& folder, EntriesToRemove* toRemove) {
  if (ClassifyFolder(folder) != FolderVerdict::kUsable) {
    Tell(switches, Text(kRootFolder) + L"\r\n" + folder, MB_ICONERROR);
    return kExitRefused;
  }
  const DWORD attributes = GetFileAttributesW((folder + L'\\' + kUninstallerName).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Tell(switches, Text(kNotInstalled) + L"\r\n" + folder, MB_ICONERROR);
    return kExitRefused;
  }
  *toRemove = ReadEntriesToRemove(folder);
  if (toRemove->missing) {
    Tell(switches, Text(kNoRecord) + L"\r\n" + folder, MB_ICONERROR);
    return kExitRefused;
  }
  const std::wstring listProblem = !toRemove->problem.empty() ? toRemove->problem : ListProblem(toRemove->Pointers());
  if (!listProblem.empty()) {
    Tell(switches, Text(kBadList) + L"\r\n" + listProblem, MB_ICONERROR);
    return kExitRefused;
  }
  return kExitRemoved;
}

// The uninstaller and the record go last, once everything else is gone.
std::vector<RemovalStep> PayloadWithoutUninstaller(const EntriesToRemove& toRemove) {
  std::vector<RemovalStep> steps = RemovalOrder(toRemove.Pointers());
  const std::wstring recordName = RecordName();
  std::erase_if(steps, [&](const RemovalStep& step) {
    return !step.folder && (step.path == kUninstallerName || step.path == recordName);
  });
  return steps;
}

std::wstring FailureList(const std::vector<std::wstring>& failed) {
  std::wstring list;
  for (std::size_t i = 0; i < failed.size() && i < kListedFailures; ++i) list += L"\r\n" + failed[i];
  if (failed.size() > kListedFailures) list += L"\r\n…";
  return list;
}

}  // namespace

int RunFromProductFolder(const Switches& switches) {
  const std::wstring folder = FolderOf(RunningProgramPath());
  EntriesToRemove toRemove;
  // Looked at here only to refuse a bad folder or record before asking the
  // user; the copy reads the record again when it removes.
  if (const int refused = CheckFolderAndList(switches, folder, &toRemove); refused != kExitRemoved) {
    return refused;
  }
  if (!UserConfirms(switches)) return kExitCancelled;
  // The removal closes a running Nimbo first; the user says whether it may.
  if (!switches.silent && !product::ProductProcesses({folder}).empty() &&
      MessageBoxW(nullptr, Text(kCloseProduct).c_str(), Text(kCaption).c_str(),
                  MB_OKCANCEL | MB_ICONWARNING | MB_SETFOREGROUND) != IDOK) {
    return kExitCancelled;
  }
  std::wstring error;
  StartedCopy copy;
  if (!StartTemporaryCopy(folder, switches.silent, &copy, &error)) {
    Tell(switches, Text(kNotStarted) + L"\r\n" + error, MB_ICONERROR);
    return kExitNotStarted;
  }
  // Whoever started this run (a deployment tool, the system's list of
  // programs) sees it end only once the removal is done, with its result.
  return AwaitCopyResult(&copy);
}

namespace {

void NoteRemoval(Removal removal, const std::wstring& what, RemovalReport* report) {
  if (removal == Removal::kNotOurs) report->otherInstallation = true;
  if (removal == Removal::kFailed) report->failed.push_back(what);
}

// Everything but the uninstaller that runs the first run: the payload, the
// shortcut, the registry entry and the record, in an order that keeps the
// removal possible to run again from the system's list until the end: the
// entry goes only once every payload file is gone, and the record only once
// the entry is. The first run's file cannot be deleted while it runs, but it
// can be renamed: before the entry goes it is moved out of the way under a
// name no one uses (and put back should the entry stay), so that it is no
// file of the installation any more when the first run ends; `leftover`
// names it, and the system deletes it at the next restart should the first
// run's end not come.
RemovalReport RemoveInstallation(const std::wstring& folder, const EntriesToRemove& toRemove, std::wstring* leftover) {
  RemovalReport report = RemovePayload(folder, PayloadWithoutUninstaller(toRemove));
  if (!report.Complete() || report.folderIsLink) return report;
  // The shortcut only when it is this installation's.
  NoteRemoval(RemoveDesktopShortcut(folder), DesktopShortcutPath(), &report);
  if (!report.Complete()) return report;

  const std::wstring uninstaller = folder + L'\\' + kUninstallerName;
  const std::wstring renamed = folder + L'\\' + ui::UnguessableName(L"~uninstall-") + L".tmp";
  const bool present = GetFileAttributesW(uninstaller.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (present) {
    if (!MoveFileExW(uninstaller.c_str(), renamed.c_str(), 0)) {
      report.failed.push_back(kUninstallerName);
      return report;
    }
    MoveFileExW(renamed.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
  // The entry only when it is this installation's.
  const Removal entry = RemoveUninstallEntry(folder);
  if (entry == Removal::kFailed) {
    // Still listed: the uninstaller comes back so that the list can run it.
    if (present && !MoveFileExW(renamed.c_str(), uninstaller.c_str(), 0)) *leftover = renamed;
    NoteRemoval(entry, L"HKEY_LOCAL_MACHINE\\" + std::wstring(kUninstallKey), &report);
    return report;
  }
  NoteRemoval(entry, L"HKEY_LOCAL_MACHINE\\" + std::wstring(kUninstallKey), &report);
  if (present) *leftover = renamed;
  if (!DeleteFileWithPatience(RecordPath(folder), kSelfDeletePatienceMs)) {
    MoveFileExW(RecordPath(folder).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    report.failed.push_back(RecordName());
  }
  return report;
}

// Once the first run has ended its file can go, and then the folder the
// installer made, unless something of the user's is still in it. What
// cannot go now goes at the next restart.
void RemoveLeftover(const Switches& switches, const std::wstring& folder, const std::wstring& leftover) {
  const bool ended = WaitForOriginal(*switches.waitFor, kOriginalWaitMs) == WaitOutcome::kEnded;
  if (!leftover.empty() && !(ended && DeleteFileWithPatience(leftover, kSelfDeletePatienceMs))) {
    MoveFileExW(leftover.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return;
  }
  RemoveEmptyProductFolder(folder);
}

}  // namespace

int RunTemporaryCopy(const Switches& switches) {
  // First of all, so that the copy goes away at the next restart however
  // this run ends.
  DeleteSelfAtRestart();
  std::wstring folder = switches.removeFrom;
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  // Never beside an installation: held until this run ends.
  product::InstallationLock lock;
  if (lock.Acquire(product::kSilentLockWaitMs) == product::InstallationLock::Result::kBusy) {
    SendResult(*switches.reportTo, kExitAnotherRunning);
    Tell(switches, Text(kAnotherRunning), MB_ICONINFORMATION);
    return kExitAnotherRunning;
  }
  // A Nimbo running from the folder is asked to close before anything goes.
  if (const auto running = product::ProductProcesses({folder});
      !running.empty() && !product::CloseProductProcesses(running, product::kProductCloseWaitMs).empty()) {
    SendResult(*switches.reportTo, kExitProductRunning);
    Tell(switches, Text(kProductStillRunning), MB_ICONWARNING);
    return kExitProductRunning;
  }

  // An installation into the folder that was killed half-way is taken back
  // first (or its commit finished), so that what is removed is a whole
  // installation, by its own record. The folder is the installation's own,
  // which only the administrators may change; one that is a link is not
  // entered (the checks below refuse it).
  if (ClassifyFolder(folder) == FolderVerdict::kUsable && ProductFolderFinalPath(folder)) {
    product::ReplayInterrupted(folder, kUninstallKey, product::ReplayPurpose::kRemove, nullptr);
  }
  EntriesToRemove toRemove;
  // The record is read now, at the removal: the first run is waiting for
  // this one, so no new installation can have come in between.
  if (const int refused = CheckFolderAndList(switches, folder, &toRemove); refused != kExitRemoved) {
    SendResult(*switches.reportTo, refused);
    return refused;
  }

  // The shell reads the desktop shortcut for its target.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::wstring leftover;
  const RemovalReport report = RemoveInstallation(folder, toRemove, &leftover);
  if (SUCCEEDED(com)) CoUninitialize();
  const int result = report.Complete() && !report.folderIsLink ? kExitRemoved : kExitIncomplete;
  SendResult(*switches.reportTo, result);
  if (result == kExitRemoved) RemoveLeftover(switches, folder, leftover);

  if (report.folderIsLink) {
    Tell(switches, Text(kFolderIsLink) + L"\r\n" + folder, MB_ICONERROR);
  } else if (!report.Complete()) {
    Tell(switches, Text(kIncomplete) + FailureList(report.failed), MB_ICONWARNING);
  } else {
    std::wstring message = Text(kDone);
    if (!report.kept.empty()) message += L"\r\n\r\n" + Text(kUserFilesKept);
    if (report.otherInstallation) message += L"\r\n\r\n" + Text(kOtherInstallation);
    Tell(switches, message, MB_ICONINFORMATION);
  }
  return result;
}

}  // namespace uninstall
