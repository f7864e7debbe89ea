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
#include "engine/core/Win32.h"

namespace uninstall {
namespace {

constexpr char kCaption[] = "Nimbo 卸载";
constexpr char kConfirm[] = "确定要卸载 Nimbo 吗？";
constexpr char kDone[] = "Nimbo 已卸载。";
constexpr char kUserFilesKept[] = "安装文件夹中不属于 Nimbo 的文件已保留。";
constexpr char kRootFolder[] = "卸载程序不在 Nimbo 的安装文件夹中，卸载已取消：";
constexpr char kNotInstalled[] = "这个文件夹中没有 Nimbo 的卸载程序，卸载已取消：";
constexpr char kBadList[] = "卸载程序的文件列表有误，卸载已取消：";
constexpr char kNotStarted[] = "无法开始卸载：";
constexpr char kTimedOut[] = "等待卸载程序退出超时，卸载已取消。";
constexpr char kIncomplete[] = "以下项目无法删除（Nimbo 也许正在运行），请关闭 Nimbo 后重新运行卸载程序：";
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
int CheckFolderAndList(const Switches& switches, const std::wstring& folder,
                       std::span<const wchar_t* const> builtIn, EntriesToRemove* toRemove) {
  if (ClassifyFolder(folder) != FolderVerdict::kUsable) {
    Tell(switches, Text(kRootFolder) + L"\r\n" + folder, MB_ICONERROR);
    return kExitRefused;
  }
  const DWORD attributes = GetFileAttributesW((folder + L'\\' + kUninstallerName).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Tell(switches, Text(kNotInstalled) + L"\r\n" + folder, MB_ICONERROR);
    return kExitRefused;
  }
  *toRemove = ReadEntriesToRemove(folder, builtIn);
  const std::wstring listProblem =
      !toRemove->problem.empty() ? toRemove->problem : ListProblem(toRemove->Pointers());
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

int RunFromProductFolder(const Switches& switches, std::span<const wchar_t* const> builtIn) {
  const std::wstring folder = FolderOf(RunningProgramPath());
  EntriesToRemove toRemove;
  if (const int refused = CheckFolderAndList(switches, folder, builtIn, &toRemove); refused != kExitRemoved) {
    return refused;
  }
  if (!UserConfirms(switches)) return kExitCancelled;
  std::wstring error;
  if (!StartTemporaryCopy(folder, switches.silent, &error)) {
    Tell(switches, Text(kNotStarted) + L"\r\n" + error, MB_ICONERROR);
    return kExitNotStarted;
  }
  return kExitRemoved;
}

int RunTemporaryCopy(const Switches& switches, std::span<const wchar_t* const> builtIn) {
  // First of all, so that the copy goes away at the next restart however
  // this run ends.
  DeleteSelfAtRestart();
  std::wstring folder = switches.removeFrom;
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  EntriesToRemove toRemove;
  if (const int refused = CheckFolderAndList(switches, folder, builtIn, &toRemove); refused != kExitRemoved) {
    return refused;
  }

  switch (WaitForOriginal(*switches.waitFor, kOriginalWaitMs)) {
    case WaitOutcome::kEnded:
      break;
    case WaitOutcome::kTimedOut:
      Tell(switches, Text(kTimedOut), MB_ICONERROR);
      return kExitTimedOut;
    case WaitOutcome::kNotAProcess:
      return kExitRefused;
  }

  RemovalReport report = RemovePayload(folder, PayloadWithoutUninstaller(toRemove));
  if (report.Complete() && toRemove.fromRecord && !DeleteFileWithPatience(RecordPath(folder), kSelfDeletePatienceMs)) {
    report.failed.push_back(RecordName());
  }
  if (report.Complete()) {
    if (!DeleteFileWithPatience(folder + L'\\' + kUninstallerName, kSelfDeletePatienceMs)) {
      report.failed.push_back(kUninstallerName);
    } else {
      // The folder the installer made goes too, unless something of the
      // user's is still in it (removing a folder that is not empty fails).
      RemoveDirectoryW(folder.c_str());
      if (!RemoveUninstallEntry()) report.failed.push_back(L"HKEY_LOCAL_MACHINE\\" + std::wstring(kUninstallKey));
      if (!RemoveDesktopShortcut()) report.failed.push_back(DesktopShortcutPath());
    }
  }
  if (!report.Complete()) {
    Tell(switches, Text(kIncomplete) + FailureList(report.failed), MB_ICONWARNING);
    return kExitIncomplete;
  }
  std::wstring message = Text(kDone);
  if (!report.kept.empty()) message += L"\r\n\r\n" + Text(kUserFilesKept);
  Tell(switches, message, MB_ICONINFORMATION);
  return kExitRemoved;
}

}  // namespace uninstall
